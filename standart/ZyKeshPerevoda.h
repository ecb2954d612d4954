// The translation file's text kept between requests of the process.
#ifndef ZYKESHPEREVODA_H
#define ZYKESHPEREVODA_H

#include "ZyUkazatelPerevoda.h"

#include <memory>
#include <string>

namespace zyst {

// A copy of the file's text and its index.
struct ZyTekstPerevoda {
    ZyTekstPerevoda(const char* tekst, std::size_t razmer)
        : tekst(tekst, razmer), ukazatel(this->tekst.data(), this->tekst.size()) {}
    ZyTekstPerevoda(const ZyTekstPerevoda&) = delete;
    ZyTekstPerevoda& operator=(const ZyTekstPerevoda&) = delete;

    const std::string tekst;
    const ZyUkazatelPerevoda ukazatel;
};

// The text last read from the file at the full path `put`, when the file's size, creation and
// last-write times are still those it was read with; null otherwise (the file must be read).
// Safe to call from any thread; the text stays valid while the pointer is held.
std::shared_ptr<const ZyTekstPerevoda> ZyKeshNajti(const std::string& put);

// Keeps a copy (with its index) of the `razmer` bytes at `tekst` (a live view of the whole file at
// `put`) for later requests. Nothing is kept when the file's size differs from `razmer`, or when
// its last write is so recent that a later write could carry the same time stamp; a failed
// allocation only leaves the text uncached.
void ZyKeshPolozhit(const std::string& put, const char* tekst, std::size_t razmer);

} // namespace zyst

#endif // ZYKESHPEREVODA_H
