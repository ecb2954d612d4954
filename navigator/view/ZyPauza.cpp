// The pause screen: the translated word "PAUSE" five times in five colours around the view,
// and the rendering's vendor, renderer and version with the navigator's name, version and the
// scene's title, drawn with GDI over the last picture.
#include "ZyKGLOrvanta2.h"
#include "ZyStandart.h"

#include <GL/gl.h>

#include <string>

namespace Quorvel {

namespace {

// A text translated through the translation file (the text itself when that fails).
std::string Perevod(const char* tekst) {
    char b[255] = {};
    const std::string t(tekst);
    if (t.size() >= sizeof b) return t;
    t.copy(b, t.size());
    const int n = ZyPerevodStroki(b, sizeof b);
    return n > 0 ? std::string(b, static_cast<size_t>(n)) : t;
}

// A GL string, empty when there is none.
std::string GLStroka(GLenum chto) {
    const GLubyte* s = glGetString(chto);
    return s ? reinterpret_cast<const char*>(s) : "";
}

// "label :\nvalue.\n" with the label translated.
std::string Stroka(const char* metka, const std::string& znachenie) {
    return Perevod(metka) + " :\n" + znachenie + ".\n";
}

// The information text of the pause screen: five lines, six with a scene title.
std::string ZyTekstPauzy(const char* zagolovok) {
    // One label after the other: each is translated (and collected) in the order shown.
    std::string t = Stroka("VENDOR", GLStroka(GL_VENDOR));
    t += Stroka("RENDERER", GLStroka(GL_RENDERER));
    t += Stroka("VERSION", GLStroka(GL_VERSION));
    t += Stroka("NAVIGATOR", "Quorvel");
    t += Stroka("NAVIGATOR VERSION", "2.0");
    if (zagolovok && zagolovok[0]) t += Perevod("SCENE") + " :\n" + zagolovok + ".";
    return t;
}

} // namespace

// Draws the pause screen into the view window (with the controller's font when it has one);
// returns the last DrawTextA result. NOTE: on a cache DC, not the class's own DC, which the
// window thread paints with at the same time (and which would keep the colours and the
// background mode set here).
int ZYKGLKONTROL::Pauza() {
    HDC dc = GetDCEx(hwnd, nullptr, DCX_CACHE | DCX_CLIPCHILDREN | DCX_CLIPSIBLINGS);
    if (!dc) return 0;
    HGDIOBJ prezhnij = Shrift ? SelectObject(dc, Shrift) : nullptr;
    RECT r{};
    GetClientRect(hwnd, &r);
    const std::string slovo = Perevod("PAUSE");
    SetBkMode(dc, TRANSPARENT);
    const struct {
        COLORREF cvet;
        UINT format;
    } mesta[5] = {{RGB(255, 0, 0), 0x24},
                  {RGB(0, 255, 0), 0x25},
                  {RGB(0, 0, 255), 0x26},
                  {RGB(0, 255, 255), 0x21},
                  {RGB(255, 255, 0), 0x29}};
    for (const auto& m : mesta) {
        SetTextColor(dc, m.cvet);
        RECT kuda = r;
        DrawTextExA(dc, const_cast<char*>(slovo.c_str()), static_cast<int>(slovo.size()), &kuda,
                    m.format, nullptr);
    }
    SetTextColor(dc, ~GetSysColor(COLOR_BACKGROUND) & 0xFFFFFF);
    char zagolovok[sizeof TekstPauzy + 1] = {};
    for (size_t i = 0; i < sizeof TekstPauzy && TekstPauzy[i]; ++i)
        zagolovok[i] = TekstPauzy[i];
    const std::string info = ZyTekstPauzy(zagolovok);
    RECT kuda = r;
    const int rez = DrawTextA(dc, info.c_str(), static_cast<int>(info.size()), &kuda, 0);
    if (prezhnij) SelectObject(dc, prezhnij);
    ReleaseDC(hwnd, dc);
    return rez;
}

} // namespace Quorvel
