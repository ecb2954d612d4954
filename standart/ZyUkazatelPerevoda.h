// An index of a translation file text: its entries by the first line of their keys.
#ifndef ZYUKAZATELPEREVODA_H
#define ZYUKAZATELPEREVODA_H

#include "ZyScanStrok.h"

#include <cstddef>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zyst {

// Finds a key's entry as ZyNajtiPerevod does, looking only at the entries whose first line
// can match the key. The text must outlive the index and stay unchanged.
class ZyUkazatelPerevoda {
public:
    ZyUkazatelPerevoda(const char* fajl, std::size_t razmer);
    // What ZyNajtiPerevod(fajl, razmer, kljuch, dlinaKljucha) finds.
    ZyNahodka Najti(const char* kljuch, std::size_t dlinaKljucha) const;

private:
    // Files the entry that starts at `p`.
    void Dobavit(const char* p, const char* konec);
    // Whether the entry at `smeshenie` answers the key (*n then holds the answer).
    bool Proverit(std::size_t smeshenie, const char* kljuch, std::size_t dlinaKljucha,
                  ZyNahodka* n) const;

    const char* fajl_;
    std::size_t razmer_;
    // Entry starts (offsets, in file order) by their line and its parts before a blank.
    std::unordered_map<std::string_view, std::vector<std::size_t>> zapisi_;
    // Entries with too many blanks in their line to file (offsets, in file order).
    std::vector<std::size_t> vsegda_;
};

} // namespace zyst

#endif // ZYUKAZATELPEREVODA_H
