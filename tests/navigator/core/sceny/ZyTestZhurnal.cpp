// The test scenes' journal (see the header).
#include "ZyTestZhurnal.h"

#include <GL/gl.h>

#include <mutex>
#include <vector>

namespace {

std::mutex zamok;
std::vector<ZYT_ZAPIS> zapisi;
ZYT_NASTROJKA nastrojka{-1, 0, 0, 0, 0, -1, nullptr};
HANDLE sobytie = CreateEventA(nullptr, FALSE, FALSE, nullptr);

// Performance counter in microseconds.
LONGLONG Mks() {
    LARGE_INTEGER c, f;
    QueryPerformanceCounter(&c);
    QueryPerformanceFrequency(&f);
    return c.QuadPart * 1000000 / f.QuadPart;
}

} // namespace

void ZytZapisat(int fyn, Quorvel::ZYKGLKONTROL* k, const void* adres) {
    ZYT_ZAPIS z{};
    z.fyn = fyn;
    z.potok = GetCurrentThreadId();
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       static_cast<LPCSTR>(adres), &z.modul);
    z.mks = Mks();
    z.kontrol = k;
    z.kontekst = wglGetCurrentContext() != nullptr;
    RECT r{};
    z.desVidim = k && k->desHwnd && IsWindowVisible(k->desHwnd) && GetClientRect(k->desHwnd, &r) &&
                 r.right > 0 && r.bottom > 0;
    {
        std::lock_guard<std::mutex> g(zamok);
        zapisi.push_back(z);
    }
    SetEvent(sobytie);
}

unsigned long ZytKol(int fyn) {
    std::lock_guard<std::mutex> g(zamok);
    unsigned long n = 0;
    for (const ZYT_ZAPIS& z : zapisi)
        n += fyn == 0 || z.fyn == fyn;
    return n;
}

int ZytVzjat(unsigned long i, ZYT_ZAPIS* z) {
    std::lock_guard<std::mutex> g(zamok);
    if (i >= zapisi.size() || !z) return 0;
    *z = zapisi[i];
    return 1;
}

void ZytSbros() {
    std::lock_guard<std::mutex> g(zamok);
    zapisi.clear();
    nastrojka = ZYT_NASTROJKA{-1, 0, 0, 0, 0, -1, nullptr};
}

HANDLE ZytSobytie() {
    return sobytie;
}

ZYT_NASTROJKA* ZytNastrojka() {
    return &nastrojka;
}
