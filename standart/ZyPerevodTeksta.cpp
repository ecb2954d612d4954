// The translator: answers a translation block from the translation file.
//
// For every string of the request the contents of its double-quoted parts are cut out, the
// rest is the key looked up in the file; a key without an entry is appended as a new entry
// with an empty translation. The answer (the translation, or the text itself) gets the parts
// back, in order, between its own double quotes, and is written over the request.
#include "ZyBlokPerevoda.h"
#include "ZyFajlPerevoda.h"
#include "ZyKavychki.h"
#include "ZyScanStrok.h"
#include "ZySignal.h"
#include "ZyStandart.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace zyst {
namespace {

// The signal of a block without a signature: 440 Hz for one second.
constexpr unsigned kChastotaNetBloka = 440;
constexpr unsigned kDlitelnostNetBloka = 1000;

// The system's page size: the size of a block the translator has to create itself.
std::size_t razmerStranicy() {
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    return si.dwPageSize;
}

// The answer for one request string: its translation (cut at a zero byte, which could not
// travel in the block) or the text itself, with its quoted parts put back.
std::string otvetNaStroku(std::string_view stroka, ZyFajlPerevoda& fajl, const std::string& nachalo,
                          const std::string& konec) {
    std::string kljuch(stroka);
    const std::vector<std::string> chasti = ZyVyrezatChasti(kljuch);
    const ZyNahodka n = ZyNajtiPerevod(fajl.Tekst(), fajl.Razmer(), kljuch.data(), kljuch.size());
    if (n.rezultat == -1) fajl.Dopisat(nachalo + kljuch + konec);
    std::string otvet;
    if (n.rezultat == 1) {
        const void* nol = std::memchr(n.perevod, 0, n.dlina);
        const std::size_t dlina =
            nol ? std::size_t(static_cast<const char*>(nol) - n.perevod) : n.dlina;
        otvet.assign(n.perevod, dlina);
    }
    if (otvet.empty()) otvet = kljuch;
    ZyVstavitChasti(otvet, chasti);
    return otvet;
}

// ZyPerevodTeksta without the guard against exceptions.
int perevestiBlok(const char* blokName, const char* prefix, const char* suffix,
                  const char* fajlName) {
    const std::string nachalo = std::string("\r\n") + (prefix ? prefix : "");
    const std::string konec = std::string("\r\n=***") + (suffix ? suffix : "");
    const std::size_t stranica = razmerStranicy();
    ZyRazdel blok;
    if (!blok.Otkryt(blokName ? blokName : "ZyPerevodTeksta", stranica)) return 0;
    const std::ptrdiff_t h =
        ZyNajtiZagolovok(blok.Adres(), stranica < blok.Razmer() ? stranica : blok.Razmer());
    if (h < 0) {
        ZySignal(kChastotaNetBloka, kDlitelnostNetBloka);
        return 0;
    }
    char* const nachaloBloka = blok.Adres() + h;
    ZYS_BLOK_PEREVODA zag;
    std::memcpy(&zag, nachaloBloka, sizeof zag);
    if (!(zag.Sostojanie & kZaprosZapolnen)) return 0;
    char* const stroki = nachaloBloka + kRazmerZag;
    const std::size_t emkost = blok.Razmer() - std::size_t(h) - kRazmerZag;
    const std::vector<std::string_view> zapros = ZyChitatStroki(stroki, emkost, SIZE_MAX);

    ZyFajlPerevoda fajl;
    if (!fajl.Otkryt(fajlName)) return 0;
    std::string otvet;
    for (std::string_view stroka : zapros) {
        // Every text is looked up (and collected) even when the answer cannot fit.
        otvet += otvetNaStroku(stroka, fajl, nachalo, konec);
        otvet += '\0';
    }
    if (otvet.empty()) return 1;
    otvet += '\0'; // the empty string that ends the list
    zag.Dlina = std::uint32_t(otvet.size());
    // The answer fits when each string fits with its zero, as a requester measures it; the
    // zero that ends the list is left out when the block ends right behind the last string.
    if (otvet.size() - 1 > emkost) {
        // Declined: the request stays (state unchanged), its length says what was needed.
        std::memcpy(nachaloBloka, &zag, sizeof zag);
        return 0;
    }
    std::memcpy(stroki, otvet.data(), otvet.size() - 1 < emkost ? otvet.size() : emkost);
    zag.Sostojanie |= kOtvetGotov;
    std::memcpy(nachaloBloka, &zag, sizeof zag);
    return 1;
}

} // namespace
} // namespace zyst

extern "C" {

// Answers the block `blokName` from `fajlName`; 1 when answered.
int ZyPerevodTeksta(const char* blokName, const char* prefix, const char* suffix,
                    const char* fajlName) {
    try {
        return zyst::perevestiBlok(blokName, prefix, suffix, fajlName);
    } catch (...) {
        return 0; // out of memory: no answer, the requester keeps its texts
    }
}

} // extern "C"
