// The translator: answers a translation block from the translation file.
//
// For every string of the request the contents of its double-quoted parts are cut out, the
// rest is the key looked up in the file; a key without an entry is appended as a new entry
// with an empty translation. The answer (the translation, or the text itself) gets the parts
// back, in order, between its own double quotes, and is written over the request.
#include "ZyBlokPerevoda.h"
#include "ZyFajlPerevoda.h"
#include "ZyKavychki.h"
#include "ZyKeshPerevoda.h"
#include "ZyPerevodTeksta.h"
#include "ZyScanStrok.h"
#include "ZySignal.h"
#include "ZyStandart.h"

#include <cstdint>
#include <cstring>
#include <memory>
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

// The answer for one request string from the `razmer` bytes of file text at `tekst` (through
// its index when there is one): its translation (cut at a zero byte, which could not travel in
// the block) or the text itself, with its quoted parts put back. *kljuchNajden is false when the file has no entry for it,
// and *kljuch is then the text to append.
std::string otvetNaStroku(std::string_view stroka, const char* tekst, std::size_t razmer,
                          const ZyUkazatelPerevoda* ukazatel, std::string* kljuch,
                          bool* kljuchNajden) {
    kljuch->assign(stroka);
    const std::vector<std::string> chasti = ZyVyrezatChasti(*kljuch);
    const ZyNahodka n = ukazatel ? ukazatel->Najti(kljuch->data(), kljuch->size())
                                 : ZyNajtiPerevod(tekst, razmer, kljuch->data(), kljuch->size());
    *kljuchNajden = n.rezultat != -1;
    std::string otvet;
    if (n.rezultat == 1) {
        const void* nol = std::memchr(n.perevod, 0, n.dlina);
        const std::size_t dlina =
            nol ? std::size_t(static_cast<const char*>(nol) - n.perevod) : n.dlina;
        otvet.assign(n.perevod, dlina);
    }
    if (otvet.empty()) otvet = *kljuch;
    ZyVstavitChasti(otvet, chasti);
    return otvet;
}

// The answer list from the text kept since an earlier request; false when some string has no
// entry there (it must be appended, so the file itself answers).
bool otvetIzKesha(const std::vector<std::string_view>& zapros, const char* fajlName,
                  std::string* otvet) {
    const std::string put = ZyPutFajlaPerevoda(fajlName);
    if (put.empty()) return false;
    const std::shared_ptr<const ZyTekstPerevoda> tekst = ZyKeshNajti(put);
    if (!tekst) return false;
    std::string kljuch;
    for (std::string_view stroka : zapros) {
        bool najden = false;
        *otvet += otvetNaStroku(stroka, tekst->tekst.data(), tekst->tekst.size(), &tekst->ukazatel,
                                &kljuch, &najden);
        if (!najden) return false;
        *otvet += '\0';
    }
    return true;
}

} // namespace

// The one-string form of otvetIzKesha, for requesters that need no block for a kept text.
bool ZyOtvetIzKesha(std::string_view stroka, const char* fajlName, std::string* otvet) {
    if (stroka.empty()) return false;
    if (!otvetIzKesha(std::vector<std::string_view>{stroka}, fajlName, otvet)) return false;
    otvet->pop_back(); // the zero that ends the string in a block
    return true;
}

namespace {

// The answer list from the file, appending every text that has no entry yet; false when the
// file cannot be opened.
bool otvetIzFajla(const std::vector<std::string_view>& zapros, const char* fajlName,
                  const std::string& nachalo, const std::string& konec, std::string* otvet) {
    ZyFajlPerevoda fajl;
    if (!fajl.Otkryt(fajlName)) return false;
    std::string kljuch;
    for (std::string_view stroka : zapros) {
        // Every text is looked up (and collected) even when the answer cannot fit.
        bool najden = false;
        *otvet += otvetNaStroku(stroka, fajl.Tekst(), fajl.Razmer(), nullptr, &kljuch, &najden);
        if (!najden) fajl.Dopisat(nachalo + kljuch + konec);
        *otvet += '\0';
    }
    return true;
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

    std::string otvet;
    if (!otvetIzKesha(zapros, fajlName, &otvet)) {
        otvet.clear();
        if (!otvetIzFajla(zapros, fajlName, nachalo, konec, &otvet)) return 0;
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
