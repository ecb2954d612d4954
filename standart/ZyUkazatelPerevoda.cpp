// The index of a translation file text.
//
// A key matches an entry only when the entry's bytes after the key are a blank, "=", CR, TAB
// or the "***" that ends it. So with the entry's line taken up to the first "=", CR, LF, TAB
// or asterisk, a matching entry's line either equals the key's line (the key up to the same
// bytes) or, when the key holds none of them, has the key as a part ending before a blank.
// Every entry is filed under its line and under each such part; the candidates are then
// checked by the reader's own rule. A key holding an asterisk is looked up by the walk.
#include "ZyUkazatelPerevoda.h"

#include <cstring>

namespace zyst {
namespace {

// An entry with more blanks in its line than this is checked for every key.
constexpr std::size_t kChastej = 32;

// The line of the bytes at [p, konec).
std::string_view stroka(const char* p, const char* konec) {
    const char* q = p;
    while (q < konec && *q != '=' && *q != '\r' && *q != '\n' && *q != '\t' && *q != '*')
        ++q;
    return std::string_view(p, std::size_t(q - p));
}

} // namespace

// Files an entry under its line and the parts of it that end before a blank.
void ZyUkazatelPerevoda::Dobavit(const char* p, const char* konec) {
    const std::string_view l = stroka(p, konec);
    const std::size_t smeshenie = std::size_t(p - fajl_);
    std::size_t blankov = 0;
    for (char c : l)
        blankov += c == ' ';
    if (blankov > kChastej) {
        vsegda_.push_back(smeshenie);
        return;
    }
    for (std::size_t i = 0; i < l.size(); ++i)
        if (l[i] == ' ') zapisi_[l.substr(0, i)].push_back(smeshenie);
    std::vector<std::size_t>& v = zapisi_[l];
    if (v.empty() || v.back() != smeshenie) v.push_back(smeshenie);
}

// Walks the entries once, as the reader does.
ZyUkazatelPerevoda::ZyUkazatelPerevoda(const char* fajl, std::size_t razmer)
    : fajl_(fajl), razmer_(razmer) {
    if (!fajl) return;
    const char* const konec = fajl + razmer;
    const char* p = fajl;
    while (p < konec && *p == ' ')
        ++p;
    while (p < konec) {
        Dobavit(p, konec);
        p = ZySledujuschajaZapis(p, konec);
    }
}

// Whether the entry at `smeshenie` answers the key.
bool ZyUkazatelPerevoda::Proverit(std::size_t smeshenie, const char* kljuch,
                                  std::size_t dlinaKljucha, ZyNahodka* n) const {
    const char* const p = fajl_ + smeshenie;
    return razmer_ - smeshenie >= dlinaKljucha && std::memcmp(p, kljuch, dlinaKljucha) == 0 &&
           ZyProveritZapis(p, fajl_ + razmer_, dlinaKljucha, n);
}

// The first entry, in file order, among those filed under the key's line and those checked
// for every key, that answers the key.
ZyNahodka ZyUkazatelPerevoda::Najti(const char* kljuch, std::size_t dlinaKljucha) const {
    const ZyNahodka netZapisi{-1, nullptr, 0};
    if (!fajl_ || !kljuch || dlinaKljucha == 0 || dlinaKljucha > razmer_) return netZapisi;
    if (std::memchr(kljuch, '*', dlinaKljucha))
        return ZyNajtiPerevod(fajl_, razmer_, kljuch, dlinaKljucha);
    static const std::vector<std::size_t> pusto;
    const auto it = zapisi_.find(stroka(kljuch, kljuch + dlinaKljucha));
    const std::vector<std::size_t>& a = it == zapisi_.end() ? pusto : it->second;
    std::size_t i = 0, j = 0;
    ZyNahodka n;
    while (i < a.size() || j < vsegda_.size()) {
        const bool izA = j == vsegda_.size() || (i < a.size() && a[i] < vsegda_[j]);
        const std::size_t smeshenie = izA ? a[i++] : vsegda_[j++];
        if (Proverit(smeshenie, kljuch, dlinaKljucha, &n)) return n;
    }
    return netZapisi;
}

} // namespace zyst
