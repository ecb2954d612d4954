// Cutting out and putting back the double-quoted parts of a text.
#include "ZyKavychki.h"

namespace zyst {

// Walks the quote pairs from the start, emptying each and keeping its contents.
std::vector<std::string> ZyVyrezatChasti(std::string& tekst) {
    std::vector<std::string> chasti;
    std::string::size_type poz = 0;
    for (;;) {
        const auto otkr = tekst.find('"', poz);
        if (otkr == std::string::npos) break;
        const auto zakr = tekst.find('"', otkr + 1);
        if (zakr == std::string::npos) break;
        chasti.emplace_back(tekst, otkr + 1, zakr - otkr - 1);
        tekst.erase(otkr + 1, zakr - otkr - 1);
        poz = otkr + 2;
    }
    return chasti;
}

// Fills the quote pairs from the start with the parts, one pair each.
void ZyVstavitChasti(std::string& tekst, const std::vector<std::string>& chasti) {
    std::string::size_type poz = 0;
    for (const std::string& chast : chasti) {
        const auto otkr = tekst.find('"', poz);
        if (otkr == std::string::npos) return;
        const auto zakr = tekst.find('"', otkr + 1);
        if (zakr == std::string::npos) return;
        tekst.replace(otkr + 1, zakr - otkr - 1, chast);
        poz = otkr + 1 + chast.size() + 1;
    }
}

} // namespace zyst
