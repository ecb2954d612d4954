// The requesters of translations for strings and menus.
#include "ZyBlokPerevoda.h"
#include "ZyPerevodTeksta.h"
#include "ZyStandart.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace zyst {
namespace {

// The whole text of a menu item (by position), empty for separators and items without text.
std::string tekstPunkta(HMENU menu, int poz) {
    const int dlina = GetMenuStringA(menu, UINT(poz), nullptr, 0, MF_BYPOSITION);
    if (dlina <= 0) return std::string();
    std::vector<char> buf(std::size_t(dlina) + 1);
    const int prochitano = GetMenuStringA(menu, UINT(poz), buf.data(), dlina + 1, MF_BYPOSITION);
    if (prochitano <= 0) return std::string();
    return std::string(buf.data(), std::size_t(prochitano));
}

// Sets the text of a menu item by position and nothing else (its type flags, state, submenu
// and identifier stay as they are).
void zadatTekstPunkta(HMENU menu, int poz, const std::string& tekst) {
    MENUITEMINFOA mii = {};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_STRING;
    mii.dwTypeData = const_cast<char*>(tekst.c_str());
    mii.cch = UINT(tekst.size());
    SetMenuItemInfoA(menu, UINT(poz), TRUE, &mii);
}

// ZyPerevodStroki without the guard against exceptions.
int perevestiStroku(char* text, unsigned bufSize) {
    const std::size_t n = std::strlen(text) + 1;
    if (n > bufSize) return 0;
    std::string gotovo;
    if (ZyOtvetIzKesha(std::string_view(text, n - 1), "ZyPerevodTeksta.txt", &gotovo)) {
        // A text already in the file needs no block; its name is drawn all the same, so the
        // pseudo-random sequence advances as it does for every request.
        std::rand();
        if (gotovo.size() + 1 > bufSize) return 0; // does not fit: the text stays
        std::memcpy(text, gotovo.data(), gotovo.size() + 1);
        return int(gotovo.size());
    }
    ZyZapros zapros;
    if (!zapros.Sozdat(bufSize)) return int(n - 1); // no block: the text stays as it is
    zapros.Zapolnit(text, std::uint32_t(n), nullptr);
    zapros.Perevesti();
    if (zapros.Otkloneno()) return 0; // the translation does not fit: the text stays
    const std::vector<std::string_view> otvet = zapros.Stroki(1);
    if (otvet.empty()) return int(n - 1);
    const std::size_t r = otvet[0].size();
    if (r + 1 > bufSize) return 0;
    std::memcpy(text, otvet[0].data(), r);
    text[r] = 0;
    return int(r);
}

// ZyPerevodMenu without the guard against exceptions.
int perevestiMenu(HMENU menu, int kol) {
    std::string spisok;
    std::vector<int> pozicii;
    for (int i = 0; i < kol; ++i) {
        const std::string tekst = tekstPunkta(menu, i);
        if (tekst.empty()) continue;
        spisok += tekst;
        spisok += '\0';
        pozicii.push_back(i);
    }
    if (pozicii.empty()) return kol;
    ZyZapros zapros;
    if (!zapros.Sozdat(4 * std::uint64_t(spisok.size()), true)) return kol;
    zapros.Zapolnit(spisok.data(), std::uint32_t(spisok.size()), nullptr);
    zapros.Perevesti();
    const std::vector<std::string_view> otvet = zapros.Stroki(pozicii.size());
    for (std::size_t j = 0; j < otvet.size(); ++j)
        zadatTekstPunkta(menu, pozicii[j], std::string(otvet[j]));
    return kol;
}

} // namespace
} // namespace zyst

extern "C" {

// Translates `text` in place within `bufSize` bytes.
int ZyPerevodStroki(char* text, unsigned bufSize) {
    if (!text) return 0;
    try {
        return zyst::perevestiStroku(text, bufSize);
    } catch (...) {
        return 0; // out of memory: the text stays as it is
    }
}

// Translates the texts of the menu's own items.
int ZyPerevodMenu(HMENU menu) {
    if (!menu) return 0;
    const int kol = GetMenuItemCount(menu);
    if (kol <= 0) return 0;
    try {
        return zyst::perevestiMenu(menu, kol);
    } catch (...) {
        return kol; // out of memory: the items keep their texts
    }
}

} // extern "C"
