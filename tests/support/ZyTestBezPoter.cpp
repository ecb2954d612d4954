// The lossless states of a delete that stopped half-way.
#include "ZyTestBezPoter.h"

#include <algorithm>

namespace zytest {

namespace {

using Bajty = std::vector<unsigned char>;

// Whether f[fOt, fOt + n) equals b[bOt, bOt + n).
bool Ravny(const Bajty& f, std::size_t fOt, const Bajty& b, std::size_t bOt, std::size_t n) {
    return std::equal(b.begin() + bOt, b.begin() + bOt + n, f.begin() + fOt);
}

// How many bytes a[aOt...] and b[bOt...] have in common from the start.
std::size_t ObshchegoNachala(const Bajty& a, std::size_t aOt, const Bajty& b, std::size_t bOt) {
    std::size_t i = 0;
    while (aOt + i < a.size() && bOt + i < b.size() && a[aOt + i] == b[bOt + i])
        ++i;
    return i;
}

// How many bytes a and b have in common at their ends.
std::size_t ObshchegoKonca(const Bajty& a, const Bajty& b) {
    std::size_t i = 0;
    while (i < a.size() && i < b.size() && a[a.size() - 1 - i] == b[b.size() - 1 - i])
        ++i;
    return i;
}

} // namespace

bool UdalenieBezPoter(const Bajty& b, const Bajty& f, std::size_t p, std::size_t n) {
    if (f.size() != b.size() || p + n > b.size() || !Ravny(f, 0, b, 0, p)) return false;
    // The first k bytes of the tail moved down to p, the room behind them, the rest in place.
    const std::size_t hvost = b.size() - p - n;
    const std::size_t dvinuto = std::min(ObshchegoNachala(f, p, b, p + n), hvost);
    const std::size_t na_meste = std::min(ObshchegoKonca(f, b), hvost);
    return dvinuto >= hvost - na_meste;
}

} // namespace zytest
