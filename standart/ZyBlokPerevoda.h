// The translation block: a named page-file section through which a request travels from its
// requester to the translator and the answer back. Layout (32-bit little-endian fields):
//   0 RazmerZag 24 | 4 Metka "ZYTEKST\0" | 12 Sostojanie (1 request, 2 answered)
//   16 Dlina (bytes of the strings) | 20 Okno (owner window, not used by the translator)
//   24 the strings, zero-terminated, back to back, ended by an empty string.
#ifndef ZYBLOKPEREVODA_H
#define ZYBLOKPEREVODA_H

#include <windows.h>

#include "ZyZagolovokBloka.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace zyst {

// A named page-file section and a view of all of it; both released on destruction.
class ZyRazdel {
public:
    ZyRazdel() = default;
    ~ZyRazdel();
    ZyRazdel(const ZyRazdel&) = delete;
    ZyRazdel& operator=(const ZyRazdel&) = delete;

    // Creates a new section `imja` of `razmer` bytes. False, holding nothing, on failure or
    // when a section of that name exists already (then *zanjato is set).
    bool Sozdat(const char* imja, std::uint64_t razmer, bool* zanjato);
    // Creates or opens the section `imja` (`razmer` bytes if new) and maps all of it.
    bool Otkryt(const char* imja, std::uint64_t razmer);
    // The mapped bytes and how many there are (whole pages).
    char* Adres() const { return adres_; }
    std::size_t Razmer() const { return razmer_; }

private:
    // Maps the whole section writable.
    bool Otobrazit();
    void Zakryt();

    HANDLE razdel_ = nullptr;
    char* adres_ = nullptr;
    std::size_t razmer_ = 0;
};

// Offset of a valid block header within the first `razmer` bytes (the signature is looked
// for in steps of 4 bytes, its "ZYTE" 4 bytes after the header's start), or -1.
std::ptrdiff_t ZyNajtiZagolovok(const char* p, std::size_t razmer);

// Up to `kol` zero-terminated strings from `p`, stopping at an empty string or where a
// string would run past the `razmer` bytes.
std::vector<std::string_view> ZyChitatStroki(const char* p, std::size_t razmer, std::size_t kol);

// A request of this library: a block under a fresh name, filled in and sent to the
// translator of "ZyPerevodTeksta.txt".
class ZyZapros {
public:
    // Creates a block with room for `emkost` bytes of strings behind the header. Its name is
    // the decimal text of the next pseudo-random value (plus the tick count with `sTaktami`);
    // a name in use by another request is skipped for the next value. False when no block
    // could be made.
    bool Sozdat(std::uint64_t emkost, bool sTaktami = false);
    // Writes the header (request, `dlina` string bytes, owner `okno`) and the strings.
    void Zapolnit(const char* stroki, std::uint32_t dlina, HWND okno);
    // Has the block translated; 1 when it was answered.
    int Perevesti();
    // The strings of the block (the answer, or the request when there was none).
    std::vector<std::string_view> Stroki(std::size_t kol) const;
    // True when the translator declined an answer too long for the block.
    bool Otkloneno() const;

private:
    ZyRazdel razdel_;
    std::uint32_t dlinaZaprosa_ = 0;
    char imja_[16] = {};
};

} // namespace zyst

#endif // ZYBLOKPEREVODA_H
