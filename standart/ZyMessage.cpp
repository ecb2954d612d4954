// Message boxes whose text and caption pass through the translation file.
#include "ZyBlokPerevoda.h"
#include "ZyStandart.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace zyst {
namespace {

// Text and caption translated together in one block; each keeps its original when there is
// no answer. An empty text would end the block's list, so only non-empty ones are sent.
void perevestiDvaTeksta(HWND owner, std::string& tekst, std::string& zagolovok) {
    std::string* const teksty[2] = {&tekst, &zagolovok};
    std::string* poslannye[2];
    std::size_t kol = 0;
    std::string spisok;
    for (std::string* t : teksty) {
        if (t->empty()) continue;
        spisok += *t;
        spisok += '\0';
        poslannye[kol++] = t;
    }
    if (kol == 0) return;
    ZyZapros zapros;
    if (!zapros.Sozdat(4 * std::uint64_t(spisok.size()))) return;
    zapros.Zapolnit(spisok.data(), std::uint32_t(spisok.size()), owner);
    zapros.Perevesti();
    const std::vector<std::string_view> otvet = zapros.Stroki(kol);
    for (std::size_t i = 0; i < otvet.size(); ++i)
        poslannye[i]->assign(otvet[i]);
}

} // namespace
} // namespace zyst

extern "C" {

// Shows the translated box and returns the button that closed it.
int ZyMessage(HWND owner, const char* text, const char* caption, unsigned type) {
    const char* const t = text ? text : "";
    const char* const c = caption ? caption : "";
    try {
        std::string tekst(t);
        std::string zagolovok(c);
        zyst::perevestiDvaTeksta(owner, tekst, zagolovok);
        return MessageBoxA(owner, tekst.c_str(), zagolovok.c_str(), type);
    } catch (...) {
        // Out of memory for the copies or the translation: the box shows the texts as given.
    }
    return MessageBoxA(owner, t, c, type);
}

// Shows the system's text for the thread's last error, followed by `extra`.
int ZyMessageError(const char* extra, unsigned type) {
    const DWORD oshibka = GetLastError();
    char* sistemnyj = nullptr;
    // NOTE: FORMAT_MESSAGE_IGNORE_INSERTS, because no arguments are given: texts with inserts
    // ("%1 is not a valid ...") would otherwise make the call read arguments that do not exist.
    const DWORD dlina = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER |
                                           FORMAT_MESSAGE_IGNORE_INSERTS,
                                       nullptr, oshibka, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                       reinterpret_cast<char*>(&sistemnyj), 0, nullptr);
    char zapasnoj[64];
    const char* tekstOshibki = sistemnyj;
    if (dlina == 0 || !sistemnyj) {
        // No system text for this number: name the number itself (a quoted, variable part).
        std::snprintf(zapasnoj, sizeof zapasnoj, "Error \"%lu\".\r\n",
                      static_cast<unsigned long>(oshibka));
        tekstOshibki = zapasnoj;
    }
    char* vmeste = nullptr;
    const char* soobschenie = tekstOshibki;
    if (extra) {
        const std::size_t razmer = std::strlen(tekstOshibki) + 1 + std::strlen(extra) + 1;
        vmeste = static_cast<char*>(LocalAlloc(LMEM_FIXED, razmer));
        if (vmeste) {
            std::memcpy(vmeste, tekstOshibki, std::strlen(tekstOshibki) + 1);
            ZyStrAdd(vmeste, extra);
            soobschenie = vmeste;
        }
    }
    const int knopka = ZyMessage(nullptr, soobschenie, "ZyMessageError.", type);
    if (vmeste) LocalFree(vmeste);
    if (sistemnyj) LocalFree(sistemnyj);
    return knopka;
}

} // extern "C"
