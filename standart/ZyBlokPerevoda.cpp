// The translation block: sections, header search, and the requester's side of a request.
#include "ZyBlokPerevoda.h"
#include "ZyStandart.h"
#include "ZyStandartVyzovy.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace zyst {
namespace {

// How many names a request tries before it gives up (each a fresh pseudo-random value).
constexpr int kPopytokImeni = 256;

} // namespace

ZyRazdel::~ZyRazdel() {
    Zakryt();
}

// Releases the view and the section handle.
void ZyRazdel::Zakryt() {
    if (adres_) UnmapViewOfFile(adres_);
    if (razdel_) CloseHandle(razdel_);
    adres_ = nullptr;
    razdel_ = nullptr;
    razmer_ = 0;
}

// Maps the whole section and learns the size of the view (whole pages: all of it may be read
// and written, also beyond the size the creator asked for).
bool ZyRazdel::Otobrazit() {
    adres_ = static_cast<char*>(ZyOS().MapViewOfFile(razdel_, FILE_MAP_WRITE, 0, 0, 0));
    if (!adres_) {
        Zakryt();
        return false;
    }
    MEMORY_BASIC_INFORMATION mbi;
    if (VirtualQuery(adres_, &mbi, sizeof mbi) != sizeof mbi) {
        Zakryt();
        return false;
    }
    razmer_ = mbi.RegionSize;
    return true;
}

// Creates a section that nobody else holds.
bool ZyRazdel::Sozdat(const char* imja, std::uint64_t razmer, bool* zanjato) {
    Zakryt();
    if (zanjato) *zanjato = false;
    if (razmer == 0 || razmer > SIZE_MAX) return false;
    SetLastError(0);
    razdel_ = ZyOS().CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE,
                                        DWORD(razmer >> 32), DWORD(razmer & 0xFFFFFFFFu), imja);
    if (!razdel_) return false;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        if (zanjato) *zanjato = true;
        Zakryt();
        return false;
    }
    return Otobrazit();
}

// Creates or opens a section and maps all of it, whatever size its creator gave it.
bool ZyRazdel::Otkryt(const char* imja, std::uint64_t razmer) {
    Zakryt();
    razdel_ = ZyOS().CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE,
                                        DWORD(razmer >> 32), DWORD(razmer & 0xFFFFFFFFu), imja);
    if (!razdel_) return false;
    return Otobrazit();
}

// Looks for "ZYTE" at 4-byte steps, then checks the rest of the signature and the room.
std::ptrdiff_t ZyNajtiZagolovok(const char* p, std::size_t razmer) {
    if (!p) return -1;
    for (std::size_t i = 4; i + kRazmerZag - 4 <= razmer; i += 4) {
        if (std::memcmp(p + i, kMetka, 4) == 0 && std::memcmp(p + i + 4, kMetka + 4, 4) == 0)
            return std::ptrdiff_t(i - 4);
    }
    return -1;
}

// Reads strings until an empty one, the count, or the end of the bytes.
std::vector<std::string_view> ZyChitatStroki(const char* p, std::size_t razmer, std::size_t kol) {
    std::vector<std::string_view> stroki;
    std::size_t poz = 0;
    while (stroki.size() < kol && poz < razmer) {
        const void* nol = std::memchr(p + poz, 0, razmer - poz);
        if (!nol) break;
        const std::size_t dlina = std::size_t(static_cast<const char*>(nol) - (p + poz));
        if (dlina == 0) break;
        stroki.emplace_back(p + poz, dlina);
        poz += dlina + 1;
    }
    return stroki;
}

// Tries fresh names until one is free.
bool ZyZapros::Sozdat(std::uint64_t emkost, bool sTaktami) {
    for (int popytka = 0; popytka < kPopytokImeni; ++popytka) {
        unsigned znachenie = unsigned(std::rand());
        if (sTaktami) znachenie += unsigned(GetTickCount());
        std::snprintf(imja_, sizeof imja_, "%u", znachenie);
        bool zanjato = false;
        if (razdel_.Sozdat(imja_, emkost + kRazmerZag, &zanjato))
            return razdel_.Razmer() >= kRazmerZag;
        if (!zanjato) return false;
    }
    return false;
}

// Header and strings of a request.
void ZyZapros::Zapolnit(const char* stroki, std::uint32_t dlina, HWND okno) {
    ZYS_BLOK_PEREVODA zag;
    zag.RazmerZag = kRazmerZag;
    std::memcpy(zag.Metka, kMetka, sizeof zag.Metka);
    zag.Sostojanie = kZaprosZapolnen;
    zag.Dlina = dlina;
    dlinaZaprosa_ = dlina;
    // The field holds 32 bits; window handles carry only 32 significant bits on 64-bit Windows.
    zag.Okno = std::uint32_t(reinterpret_cast<std::uintptr_t>(okno));
    std::memcpy(razdel_.Adres(), &zag, sizeof zag);
    const std::size_t mesto = razdel_.Razmer() - kRazmerZag;
    std::memcpy(razdel_.Adres() + kRazmerZag, stroki, dlina < mesto ? dlina : mesto);
}

// Sends the block to the translator of the standard file.
int ZyZapros::Perevesti() {
    return ZyPerevodTeksta(imja_, " ", nullptr, "ZyPerevodTeksta.txt");
}

// The strings behind the header.
std::vector<std::string_view> ZyZapros::Stroki(std::size_t kol) const {
    return ZyChitatStroki(razdel_.Adres() + kRazmerZag, razdel_.Razmer() - kRazmerZag, kol);
}

// An unanswered block whose length the translator raised beyond the request's.
bool ZyZapros::Otkloneno() const {
    ZYS_BLOK_PEREVODA zag;
    std::memcpy(&zag, razdel_.Adres(), sizeof zag);
    return !(zag.Sostojanie & kOtvetGotov) && zag.Dlina > dlinaZaprosa_;
}

} // namespace zyst
