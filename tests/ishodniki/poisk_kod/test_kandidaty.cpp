// The candidate scan of the search (built into the test from its unit): every window length,
// offset, stride and edge set against a position-by-position scan written here.
#include <gtest/gtest.h>

#include <vector>

#include "ZyKandidaty.h"

using namespace Quorvel;

namespace {

// Deterministic pseudo-random numbers.
struct Sluch {
    uint32_t x = 2463534242u;
    uint32_t operator()(uint32_t n) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        return x % n;
    }
};

// The rows that make each byte accept `k` other random bytes.
std::vector<unsigned char> stroki(Sluch& s, int k) {
    std::vector<unsigned char> t(256 * k);
    for (auto& b : t)
        b = static_cast<unsigned char>(s(256));
    return t;
}

// Position-by-position reference: the first (or last) stride position whose edge bytes match.
size_t etalon(const ZyObrazec& o, const unsigned char* p, size_t n, size_t shag, bool vpered) {
    const size_t s = shag < 2 ? 1 : shag;
    size_t otvet = vpered ? n : ZY_NET;
    for (size_t i = 0; i < n; ++i) {
        const size_t c = vpered ? i : n - 1 - i;
        if (i % s) continue;
        if (zyBajtSovpadaet(o, 0, p[c]) && zyBajtSovpadaet(o, o.dlina - 1, p[c + o.dlina - 1]))
            return c;
    }
    return otvet;
}

} // namespace

TEST(Kandidaty, EveryLengthStrideAndSetAgainstTheReference) {
    Sluch s;
    const int tablicy[] = {-1, 0, 1, 3, 40}; // none, identity, 1, 3 and 40 accepted bytes more
    int sluchaev = 0, najdeno = 0;
    for (int t : tablicy) {
        for (int povtor = 0; povtor < 300; ++povtor) {
            const std::vector<unsigned char> tab =
                t > 0 ? stroki(s, t) : std::vector<unsigned char>();
            const size_t dlina = 1 + s(20);
            const size_t n = s(4) == 0 ? s(2000) : s(70);
            std::vector<unsigned char> buf(n + dlina + 1);
            const unsigned alfavit = 2 + s(30);
            for (auto& b : buf)
                b = static_cast<unsigned char>('a' + s(alfavit));
            std::vector<unsigned char> obr(dlina);
            for (auto& b : obr)
                b = static_cast<unsigned char>('a' + s(alfavit));
            ZyObrazec o;
            zyPrigotovitObrazec(o, obr.data(), dlina, t < 0 ? nullptr : tab.data(),
                                t < 0 ? 0 : size_t(t));
            for (size_t shag : {0u, 1u, 2u, 3u, 4u, 5u, 7u, 8u, 15u, 16u, 17u, 33u}) {
                for (size_t ot : {size_t(0), size_t(1), size_t(5)}) {
                    if (ot > n) continue;
                    const unsigned char* p = buf.data() + ot;
                    const size_t m = n - ot;
                    const size_t v = zyKandidatVpered(o, p, m, shag);
                    ASSERT_EQ(etalon(o, p, m, shag, true), v)
                        << "forward, table " << t << " length " << dlina << " window " << m
                        << " stride " << shag;
                    ASSERT_EQ(etalon(o, p, m, shag, false), zyKandidatNazad(o, p, m, shag))
                        << "backward, table " << t << " length " << dlina << " window " << m
                        << " stride " << shag;
                    ++sluchaev;
                    najdeno += v < m;
                }
            }
        }
    }
    EXPECT_GT(najdeno, sluchaev / 4) << "most windows hold candidates";
}

TEST(Kandidaty, ComparisonThroughTheTable) {
    std::vector<unsigned char> t(256);
    for (unsigned b = 0; b < 256; ++b)
        t[b] = static_cast<unsigned char>(b == 'q' ? 'Q' : b);
    const unsigned char obr[] = {'q', 'r'};
    ZyObrazec o;
    zyPrigotovitObrazec(o, obr, 2, t.data(), 1);
    const unsigned char da[] = {'Q', 'r'}, net[] = {'q', 'R'}, tozhe[] = {'q', 'r'};
    EXPECT_TRUE(zySovpadaet(o, da, 0, 2));
    EXPECT_FALSE(zySovpadaet(o, net, 0, 2)) << "a row maps the pattern byte, not the file byte";
    EXPECT_TRUE(zySovpadaet(o, tozhe, 0, 2));
    EXPECT_TRUE(zySovpadaet(o, da + 1, 1, 1)) << "a part from an offset of the pattern";
}
