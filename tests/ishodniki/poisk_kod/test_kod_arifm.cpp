// The block arithmetic of encode and decode (built into the test from its unit): the key
// number, and quotient and remainder of blocks against schoolbook byte arithmetic written here.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "ZyKodArifm.h"

using namespace Quorvel;

namespace {

using Bajty = std::vector<unsigned char>; // little-endian numbers, byte i of weight 256^i

// Deterministic pseudo-random numbers.
struct Sluch {
    uint32_t x = 88172645u;
    uint32_t operator()(uint32_t n) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        return x % n;
    }
};

Bajty bezNulej(Bajty a) {
    while (!a.empty() && a.back() == 0)
        a.pop_back();
    return a;
}

// a >= b (both without leading zero bytes).
bool neMenshe(const Bajty& a, const Bajty& b) {
    if (a.size() != b.size()) return a.size() > b.size();
    for (size_t i = a.size(); i-- > 0;)
        if (a[i] != b[i]) return a[i] > b[i];
    return true;
}

// a -= b (a >= b).
void vychest(Bajty& a, const Bajty& b) {
    int zaem = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        int t = a[i] - zaem - (i < b.size() ? b[i] : 0);
        zaem = t < 0;
        a[i] = static_cast<unsigned char>(t + (zaem ? 256 : 0));
    }
    a = bezNulej(a);
}

// Schoolbook division, one quotient byte at a time by repeated subtraction.
void delit(const Bajty& u, const Bajty& v, Bajty& q, Bajty& r) {
    q.assign(u.size(), 0);
    r.clear();
    for (size_t i = u.size(); i-- > 0;) {
        r.insert(r.begin(), u[i]);
        r = bezNulej(r);
        while (neMenshe(r, v)) {
            vychest(r, v);
            ++q[i];
        }
    }
    q = bezNulej(q);
}

// The key number by its formula.
Bajty kljuch(const std::string& x, size_t L) {
    Bajty k(L);
    for (size_t j = 0; j < L; ++j) {
        const unsigned char a = x[j], b = x[j] - j, c = x[L - 1 - j] - (L - 1 - j);
        k[j] = static_cast<unsigned char>(~(a * b * c));
    }
    return k;
}

// The record a block must give: lengths, then quotient and remainder bytes.
Bajty zapis(const Bajty& q, const Bajty& r) {
    Bajty z(4 + q.size() + r.size());
    z[0] = static_cast<unsigned char>(q.size());
    z[1] = static_cast<unsigned char>(q.size() >> 8);
    z[2] = static_cast<unsigned char>(r.size());
    z[3] = static_cast<unsigned char>(r.size() >> 8);
    std::copy(q.begin(), q.end(), z.begin() + 4);
    std::copy(r.begin(), r.end(), z.begin() + 4 + q.size());
    return z;
}

} // namespace

TEST(KodArifm, KeyLengthAndKeyNumber) {
    struct Sluchaj {
        size_t dlina;
        uint64_t dannye;
        size_t L;
    };
    const Sluchaj sluchai[] = {
        {3, 100, 3},
        {6, 6, 3},
        {6, 4, 2},
        {6, 1, 1},
        {6, 0, 1},
        {1, 1, 1},
        {0, 10, 0},
        {70000, 1ull << 40, 65532},
        {70000, 70001, 65532},
        {70000, 3, 1},
    };
    for (const Sluchaj& s : sluchai)
        EXPECT_EQ(s.L, zyDlinaKljucha(s.dlina, s.dannye)) << s.dlina << " / " << s.dannye;
    for (const std::string x : {"a", "key", "\xFF", "Longer key text 0123456789"}) {
        Bajty k(x.size());
        zyKljuchevoeChislo(reinterpret_cast<const unsigned char*>(x.data()), x.size(), k.data());
        EXPECT_EQ(kljuch(x, x.size()), k) << x;
    }
    Bajty k(1);
    zyKljuchevoeChislo(reinterpret_cast<const unsigned char*>("\xFF"), 1, k.data());
    EXPECT_EQ(0, k[0]) << "the key \"\\xFF\" gives the key number zero";
}

TEST(KodArifm, DivisionAgainstSchoolbookBytes) {
    Sluch s;
    // Digits whose estimate needs the add-back step, and a borrow that must stay unsigned.
    struct Cifry {
        std::vector<uint32_t> u, v, q, r;
    };
    const Cifry osobye[] = {
        {{0, 0, 0x80000000u, 0x7fffffffu},
         {1, 0, 0x80000000u},
         {0xfffffffeu, 0},
         {2, 0xffffffffu, 0x7fffffffu}},
        {{0, 0xfffe, 0, 0x8000},
         {0xffff, 0x8000},
         {0x20005, 0xfffffffeu, 0},
         {0xfffd0005u, 0x7ff9}},
        {{3, 0, 0x80000000u, 0}, {1, 0, 0x20000000u}, {3, 0}, {0, 0, 0x20000000u}},
    };
    for (const Cifry& c : osobye) {
        std::vector<uint32_t> q(c.u.size() - c.v.size() + 1), r(c.v.size()),
            rab(c.u.size() + c.v.size() + 1);
        zyDelit(c.u.data(), c.u.size(), c.v.data(), c.v.size(), q.data(), r.data(), rab.data());
        EXPECT_EQ(c.r, r);
        q.resize(c.q.size());
        EXPECT_EQ(c.q, q);
    }
    // Random 32-bit digits (the digits of the i686 build) against the byte reference, and the
    // multiplication back.
    const auto vBajty = [](const std::vector<uint32_t>& c) {
        Bajty b;
        for (uint32_t x : c)
            for (int k = 0; k < 4; ++k)
                b.push_back(static_cast<unsigned char>(x >> (8 * k)));
        return bezNulej(b);
    };
    for (int i = 0; i < 300; ++i) {
        const size_t m = 1 + s(6), n = m + s(12);
        std::vector<uint32_t> u(n), v(m);
        for (auto& x : u)
            x = s(4) == 0 ? 0xFFFFFFFFu : s(4) == 0 ? 0u : (s(65536) << 16 | s(65536));
        for (auto& x : v)
            x = s(3) == 0 ? 0xFFFFFFFFu : (s(65536) << 16 | s(65536));
        if (v[m - 1] == 0) v[m - 1] = 1 + s(1000);
        std::vector<uint32_t> q(n - m + 1), r(m), rab(n + m + 1), nazad(n);
        zyDelit(u.data(), n, v.data(), m, q.data(), r.data(), rab.data());
        Bajty qz, rz;
        delit(vBajty(u), vBajty(v), qz, rz);
        ASSERT_EQ(qz, vBajty(q)) << "digits " << n << " / " << m;
        ASSERT_EQ(rz, vBajty(r)) << "digits " << n << " / " << m;
        zyUmnozhitSlozhit(q.data(), q.size(), v.data(), m, r.data(), m, nazad.data(), n);
        ASSERT_EQ(u, nazad);
    }
    // Random blocks and keys through the record of a block, against the byte reference.
    ZyKodChislo chislo;
    ASSERT_TRUE(chislo.vydelit());
    Bajty zap(ZY_KOD_ZAPIS);
    int sluchaev = 0;
    for (int i = 0; i < 400; ++i) {
        std::string x(1 + s(i < 200 ? 8 : 60), ' ');
        for (auto& c : x)
            c = static_cast<char>(s(256));
        const size_t n = 1 + s(i % 3 == 0 ? 8 : 300);
        Bajty blok(n);
        for (auto& b : blok)
            b = static_cast<unsigned char>(i % 7 == 0 ? 0xFF : s(256));
        if (i % 11 == 0) blok.assign(n, 0);
        const size_t L = zyDlinaKljucha(x.size(), 1ull << 20);
        const Bajty K = bezNulej(kljuch(x, L));
        if (K.empty()) {
            EXPECT_FALSE(chislo.kljuch(reinterpret_cast<const unsigned char*>(x.data()), x.size(),
                                       1ull << 20));
            continue;
        }
        if (i % 13 == 0 && K.size() <= n) blok.assign(K.begin(), K.end()); // B = K
        ASSERT_TRUE(
            chislo.kljuch(reinterpret_cast<const unsigned char*>(x.data()), x.size(), 1ull << 20));
        Bajty q, r;
        delit(bezNulej(blok), K, q, r);
        const size_t d = chislo.kodirovat(blok.data(), blok.size(), zap.data());
        ASSERT_EQ(zapis(q, r), Bajty(zap.begin(), zap.begin() + d))
            << "block of " << n << " bytes, key number of " << K.size();
        Bajty obratno(blok.size());
        chislo.dekodirovat(q.data(), q.size(), r.data(), r.size(), obratno.data(), obratno.size());
        ASSERT_EQ(blok, obratno);
        ++sluchaev;
    }
    EXPECT_GT(sluchaev, 350);
}

TEST(KodArifm, WholeBlocksRoundTrip) {
    Sluch s;
    ZyKodChislo chislo;
    ASSERT_TRUE(chislo.vydelit());
    Bajty blok(ZY_KOD_BLOK), obratno(ZY_KOD_BLOK);
    const std::string dlinnyj(300, 'q');
    const struct {
        const char* kljuch;
        int zapolnenie; // the block's bytes, -1 random
    } sluchai[] = {
        {"k", -1},
        {"sixteen byte key", -1},
        {dlinnyj.c_str(), -1},
        {"a", 0xFF}, // K = 222: the longest record, 65537 bytes, with a one-byte remainder
    };
    for (const auto& sl : sluchai) {
        const char* x = sl.kljuch;
        for (auto& b : blok)
            b = static_cast<unsigned char>(sl.zapolnenie < 0 ? s(256) : sl.zapolnenie);
        ASSERT_TRUE(
            chislo.kljuch(reinterpret_cast<const unsigned char*>(x), std::strlen(x), 1ull << 30));
        Bajty zap(ZY_KOD_ZAPIS + 16, 0xEE); // room past the record, to see it stays untouched
        const size_t d = chislo.kodirovat(blok.data(), blok.size(), zap.data());
        ASSERT_LE(d, ZY_KOD_BLOK + 5);
        const size_t qn = zap[0] | zap[1] << 8, rn = zap[2] | zap[3] << 8;
        ASSERT_EQ(d, 4 + qn + rn);
        EXPECT_EQ(Bajty(zap.size() - d, 0xEE), Bajty(zap.begin() + d, zap.end()))
            << "written past the record of " << d << " bytes, key of " << std::strlen(x);
        chislo.dekodirovat(zap.data() + 4, qn, zap.data() + 4 + qn, rn, obratno.data(),
                           obratno.size());
        EXPECT_EQ(blok, obratno) << "key of " << std::strlen(x) << " bytes";
    }
    blok.assign(ZY_KOD_BLOK, 0);
    Bajty zap(ZY_KOD_ZAPIS);
    EXPECT_EQ(4u, chislo.kodirovat(blok.data(), blok.size(), zap.data())) << "a zero block";
}

// Regression (found by fuzzing): an empty block, or a record with empty parts, comes without
// buffers; the digits were copied with memcpy from a null pointer (undefined even for 0 bytes).
TEST(KodArifm, EmptyBlockAndEmptyPartsNeedNoBuffer) {
    ZyKodChislo chislo;
    ASSERT_TRUE(chislo.vydelit());
    const unsigned char x[] = "k";
    ASSERT_TRUE(chislo.kljuch(x, 1, 1));
    Bajty zap(ZY_KOD_ZAPIS, 0xEE);
    EXPECT_EQ(chislo.kodirovat(nullptr, 0, zap.data()), 4u);
    EXPECT_EQ(Bajty(zap.begin(), zap.begin() + 4), Bajty(4, 0)) << "both lengths 0";
    chislo.dekodirovat(nullptr, 0, nullptr, 0, nullptr, 0);
    Bajty blok(5, 0xEE);
    chislo.dekodirovat(nullptr, 0, nullptr, 0, blok.data(), blok.size());
    EXPECT_EQ(blok, Bajty(5, 0)) << "0 x K + 0";
}
