// The test scene module of the dispatch tests (see ZyTestScenaDispatch.h).
#include "ZyTestScenaDispatch.h"

#include <GL/gl.h>

#include <string>

using Quorvel::ZYKGLKONTROL;

namespace {

// Writes one entry to the test program's journal (when the program has one).
void Zapisat(const std::string& zapis) {
    static const ZYT_ZHURNAL zhurnal = reinterpret_cast<ZYT_ZHURNAL>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(nullptr), kImjaZhurnala)));
    if (zhurnal) zhurnal(zapis.c_str());
}

// The file name (without directories) of the module this code was loaded from.
std::string ImjaModulja() {
    HMODULE h = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&Zapisat), &h);
    char put[MAX_PATH] = "";
    GetModuleFileNameA(h, put, sizeof put);
    const std::string s = put;
    return s.substr(s.rfind('\\') + 1);
}

} // namespace

extern "C" {

// Runs the task a ZYT_VYPOLNIT message or a ZYT_KLAVISHA key carries.
__declspec(dllexport) int TsVypolnit(MSG* m) {
    const bool zadacha =
        m->message == ZYT_VYPOLNIT || (m->message == WM_KEYDOWN && m->wParam == ZYT_KLAVISHA);
    auto* z = reinterpret_cast<ZyTestZadacha*>(m->lParam);
    if (!zadacha || !z) return 0;
    if (z->fn) z->fn(reinterpret_cast<ZYKGLKONTROL*>(m->hwnd), z->arg);
    SetEvent(z->gotovo);
    return 1;
}

// Scene constructor: subscribes the task handler.
__declspec(dllexport) long TsKonstr(ZYKGLKONTROL* k) {
    Quorvel::ZYS_SOOB_iFYN zapisi[] = {{ZYT_VYPOLNIT, TsVypolnit}, {WM_KEYDOWN, TsVypolnit}};
    k->vklNav(zapisi, 2);
    Zapisat("konstr");
    return 1;
}

// Intermission: draws nothing.
__declspec(dllexport) long TsAntrakt(ZYKGLKONTROL*) {
    return 1;
}

// Frame: journals only the frames drawn for the screen (not selection passes).
__declspec(dllexport) long TsPokaz(ZYKGLKONTROL*) {
    GLint rezhim = GL_RENDER;
    glGetIntegerv(GL_RENDER_MODE, &rezhim);
    if (rezhim == GL_RENDER) Zapisat("pokaz");
    return 1;
}

// End of frame: shows the frame.
__declspec(dllexport) long TsFinal(ZYKGLKONTROL* k) {
    Zapisat("final");
    if (k->KontekstDC) SwapBuffers(k->KontekstDC);
    return 1;
}

// A handler found by name: journals the module it came from.
__declspec(dllexport) int TsImenovannyj(MSG*) {
    Zapisat("imenovannyj " + ImjaModulja());
    return 1;
}

} // extern "C"
