// Injected failures: every public operation of the large-file library and the general-functions
// library run with the n-th allocation, mapping object, view, file creation or named-object
// creation failing, for n = 1, 2, 3, ... until the operation no longer reaches the failing
// call. Each run either succeeds or returns its failure after a report (the translation layer
// never shows one: it gives the text back unchanged), the process holds as many handles
// afterwards as before, and the file is left as before the operation or as after it (an
// insert, delete or move that fails is taken back through its journal).
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "ZyKFajl64.h"
#include "ZyStandart.h"
#include "ZyTestFajly.h"
#include "ZyTestMutacii.h"
#include "ZyTestPapki.h"
#include "ZyTestSboi.h"
#include "ZyTestSoobshenija.h"

using namespace zytest;
using Quorvel::ZYKFAJL64;
using Quorvel::ZYKNB64;

namespace {

using Bajty = std::vector<unsigned char>;

constexpr unsigned kMaksN = 300; // no operation here makes more calls of one kind
constexpr size_t kRazmerA = 10000, kRazmerB = 2000;
constexpr const char* kA = "a.bin";
constexpr const char* kB = "b.bin";
constexpr const char* kPerevod = "ZyPerevodTeksta.txt";

ZYKNB64 nb(uint64_t v) {
    return ZYKNB64{static_cast<unsigned long>(v), static_cast<unsigned long>(v >> 32)};
}

Bajty Uzor(size_t n, unsigned zerno) {
    Bajty v(n);
    uint32_t x = 2463534242u ^ zerno;
    for (unsigned char& c : v) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = static_cast<unsigned char>(x);
    }
    return v;
}

Bajty Chast(const Bajty& b, size_t ot, size_t n) {
    return Bajty(b.begin() + ot, b.begin() + ot + n);
}

// The files and objects one run works on.
struct Stend {
    ZYKFAJL64 a, b;
    Bajty doA, doB;
    std::string tekst; // the translation request's text
};

int OtkrytZapis(ZYKFAJL64& f, const char* imja) {
    return f(imja, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// One public operation: how to prepare it (nothing fails then), run it (true: it succeeded),
// which file it changes and the states that file may be left in (the last one is the state
// after success), and whether a failure must be reported in a box.
struct Operacija {
    const char* imja;
    bool otkrytA, otkrytB;
    std::function<bool(Stend&)> dejstvie;
    const char* fajl;
    std::function<std::vector<Bajty>(const Stend&)> sostojanija;
    bool otchet;
};

const Bajty kVstavka = Uzor(20, 9);

std::vector<Operacija> Operacii() {
    auto kakBylo = [](const Stend& s) { return std::vector<Bajty>{s.doA}; };
    return {
        {"open", false, false, [](Stend& s) { return OtkrytZapis(s.a, kA) == 1; }, kA, kakBylo,
         true},
        {"open a temporary file", false, false,
         [](Stend& s) {
             return s.a(reinterpret_cast<const char*>(-1), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                        CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr) == 1;
         },
         kA, kakBylo, true},
        {"operator[]", true, false,
         [](Stend& s) {
             unsigned char& c = s.a[nb(5000)];
             return &c != reinterpret_cast<unsigned char*>(&s.a.Oshibka) && c == s.doA[5000];
         },
         kA, kakBylo, true},
        {"Kop from memory", true, false,
         [](Stend& s) { return s.a.Kop(nb(100), kVstavka.data(), 20) != 0; }, kA,
         [](const Stend& s) {
             Bajty p = s.doA;
             std::copy(kVstavka.begin(), kVstavka.end(), p.begin() + 100);
             return std::vector<Bajty>{s.doA, p};
         },
         true},
        {"Kop into memory", true, false,
         [](Stend& s) {
             Bajty m(300);
             return s.a.Kop(m.data(), nb(5000), 300) != 0 && m == Chast(s.doA, 5000, 300);
         },
         kA, kakBylo, true},
        {"Kop within a file", true, false,
         [](Stend& s) { return s.a.Kop(nb(20), nb(5000), nb(300)) != 0; }, kA,
         [](const Stend& s) {
             Bajty p = s.doA;
             std::copy(s.doA.begin() + 5000, s.doA.begin() + 5300, p.begin() + 20);
             return std::vector<Bajty>{s.doA, p};
         },
         true},
        {"Kop between files", true, true,
         [](Stend& s) { return s.b.Kop(nb(100), s.a, nb(5000), nb(300)) != 0; }, kB,
         [](const Stend& s) {
             Bajty p = s.doB;
             std::copy(s.doA.begin() + 5000, s.doA.begin() + 5300, p.begin() + 100);
             return std::vector<Bajty>{s.doB, p};
         },
         true},
        {"Vkl from memory", true, false,
         [](Stend& s) { return s.a.Vkl(nb(10), kVstavka.data(), 20) != 0; }, kA,
         [](const Stend& s) { // a failed insert is taken back
             Bajty posle = s.doA;
             posle.insert(posle.begin() + 10, kVstavka.begin(), kVstavka.end());
             return std::vector<Bajty>{s.doA, posle};
         },
         true},
        {"Vwkl", true, false, [](Stend& s) { return s.a.Vwkl(nb(50), nb(100)) != 0; }, kA,
         [](const Stend& s) { // a failed delete is taken back
             Bajty posle = s.doA;
             posle.erase(posle.begin() + 50, posle.begin() + 150);
             return std::vector<Bajty>{s.doA, posle};
         },
         true},
        {"Peredat within a file", true, false,
         [](Stend& s) { return s.a.Peredat(nb(500), nb(100), nb(50)) != 0; }, kA,
         [](const Stend& s) { // a failed move is taken back
             Bajty posle = s.doA;
             std::rotate(posle.begin() + 100, posle.begin() + 150, posle.begin() + 500);
             return std::vector<Bajty>{s.doA, posle};
         },
         true},
        {"FIN", true, false, [](Stend& s) { return s.a.FIN(nb(6000)) != 0; }, kA,
         [](const Stend& s) {
             return std::vector<Bajty>{s.doA, Chast(s.doA, 0, 6000)};
         },
         true},
        {"VzPozStr", true, false,
         [](Stend& s) {
             ZYKNB64 kol{}, najdeno{};
             const Bajty obrazec = Chast(s.doA, 7000, 6);
             return s.a.VzPozStr(kol, najdeno, obrazec.data(), 6, 0, nullptr, nullptr) == 1 &&
                    najdeno.Ml <= 7000;
         },
         kA, kakBylo, true},
        {"Kod into another file", true, true,
         [](Stend& s) { return s.a.Kod("kljuch", nb(10), &s.b) == -1; }, kA, kakBylo, true},
        {"ZyPerevodStroki, a text in the file", false, false,
         [](Stend&) {
             char buf[64] = "Hello";
             return ZyPerevodStroki(buf, sizeof buf) == 5 && std::strcmp(buf, "Hallo") == 0;
         },
         kPerevod, [](const Stend& s) { return std::vector<Bajty>{s.doA}; }, false},
        {"ZyPerevodStroki, a new text", false, false,
         [](Stend&) {
             char buf[64] = "Novyj \"1\"";
             return ZyPerevodStroki(buf, sizeof buf) == 9 && std::strcmp(buf, "Novyj \"1\"") == 0;
         },
         kPerevod,
         [](const Stend& s) {
             Bajty p = s.doA;
             const std::string z = "\r\n Novyj \"\"\r\n=***";
             p.insert(p.end(), z.begin(), z.end());
             return std::vector<Bajty>{s.doA, p};
         },
         false},
        {"ZyZabronirovatOZU", false, false,
         [](Stend&) {
             void* p = nullptr;
             const int r = ZyZabronirovatOZU(&p, 1000, "test");
             if (p) HeapFree(GetProcessHeap(), 0, p);
             return r == 1;
         },
         kA, kakBylo, true},
        {"ZYKMASSMATDW", false, false,
         [](Stend&) {
             ZYKMASSMATDW m(3, 4, 5);
             return m.bajt == 240;
         },
         kA, kakBylo, true},
    };
}

// Opens what a run needs and writes its files afresh (nothing fails here).
void Podgotovit(Stend& s, const Operacija& op) {
    s.doA = std::string(op.fajl) == kPerevod ? Bajty() : Uzor(kRazmerA, 1);
    s.doB = Uzor(kRazmerB, 2);
    ASSERT_TRUE(ZapisatBajty(kA, Uzor(kRazmerA, 1)));
    ASSERT_TRUE(ZapisatBajty(kB, s.doB));
    if (std::string(op.fajl) == kPerevod) {
        const std::string f = "***\r\n Hello\r\n=Hallo***";
        ASSERT_TRUE(ZapisatFajl(kPerevod, f));
        s.doA.assign(f.begin(), f.end());
    }
    if (op.otkrytA) {
        ASSERT_EQ(1, OtkrytZapis(s.a, kA));
    }
    if (op.otkrytB) {
        ASSERT_EQ(1, OtkrytZapis(s.b, kB));
    }
}

unsigned long Deskriptory() {
    return DeskriptoryProcessa();
}

} // namespace

// Every operation under every kind of failure, n = 1, 2, ... until it reaches no failing call.
TEST(Sboi, EveryOperationFailsCleanlyAtEveryCallOfEveryKind) {
    ZyPapkaTesta papka;
    ZyStorozhOkon korobki(IDCANCEL);
    ZyKampanija storozh("faults", 0, 0, 30000);
    const std::vector<Operacija> operacii = Operacii();
    // Warm-up: the first box and the first run of each operation create what a process keeps
    // (window classes, the translation text, the libraries' own state).
    ZyMessage(nullptr, "warm-up", "warm-up", MB_OK);
    for (const Operacija& op : operacii) {
        Stend s;
        Podgotovit(s, op);
        EXPECT_TRUE(op.dejstvie(s)) << op.imja << " without a failure";
    }
    ASSERT_TRUE(korobki.Zhdat(1));
    ASSERT_GT(Deskriptory(), 0ul) << "the handle count is not available";

    ZySboi sboi;
    unsigned zapuskov = 0, mest = 0, provalov = 0;
    std::string tablica;
    for (const Operacija& op : operacii) {
        tablica += std::string("  ") + op.imja + ":";
        for (int v = 0; v < kVidovVyzova; ++v) {
            const ZyVidVyzova vid = ZyVidVyzova(v);
            unsigned n = 1;
            const bool byloOshibok = ::testing::Test::HasFailure();
            for (; n <= kMaksN; ++n) {
                const std::string gde =
                    std::string(op.imja) + ", " + ImjaVida(vid) + " call " + std::to_string(n);
                storozh.Nachalo(zapuskov++, gde);
                const unsigned long do_ = Deskriptory();
                korobki.Zabyt();
                bool uspeh;
                bool sluchilsja;
                std::vector<Bajty> mozhno;
                {
                    Stend s;
                    Podgotovit(s, op);
                    mozhno = op.sostojanija(s);
                    sboi.Vzvesti(vid, n);
                    uspeh = op.dejstvie(s);
                    sluchilsja = sboi.Sluchilsja();
                    sboi.Vzvesti(vid, 0);
                }
                const size_t okon = korobki.Okna().size();
                const Bajty fajl = ChitatBajty(op.fajl);
                if (!sluchilsja) {
                    EXPECT_TRUE(uspeh) << gde << ": fails without an injected failure";
                } else if (!uspeh) {
                    ++provalov;
                    if (op.otchet)
                        EXPECT_GT(okon, 0u) << gde << ": failed without a report";
                    else
                        EXPECT_EQ(0u, okon) << gde << ": " << korobki.Tekst();
                }
                EXPECT_EQ(do_, Deskriptory()) << gde << ": handles leaked";
                const bool vMozhno = std::find(mozhno.begin(), mozhno.end(), fajl) != mozhno.end();
                if (uspeh && !op.otchet) {
                    // A translation that could not collect its text still answers it.
                    EXPECT_TRUE(vMozhno) << gde << ": " << op.fajl << " changed otherwise";
                } else if (uspeh) {
                    EXPECT_TRUE(fajl == mozhno.back()) << gde << ": " << op.fajl << " not as after";
                } else {
                    EXPECT_NE(mozhno.end(), std::find(mozhno.begin(), mozhno.end(), fajl))
                        << gde << ": " << op.fajl << " left half-changed (" << fajl.size()
                        << " bytes)";
                }
                if (!sluchilsja || ::testing::Test::HasFailure() != byloOshibok) break;
            }
            EXPECT_LE(n, kMaksN) << op.imja << ", " << ImjaVida(vid) << ": no end";
            if (n > 1) ++mest;
            char t[48];
            std::snprintf(t, sizeof t, " %s %u", ImjaVida(vid), n - 1);
            tablica += t;
        }
        tablica += "\n";
    }
    std::printf("fault injection: %u runs, %u failed cleanly, %u operation x kind sites with "
                "failing calls (%.1f s); calls of each kind that were failed in turn:\n%s",
                zapuskov, provalov, mest, storozh.Sekund(), tablica.c_str());
    korobki.Ostanovit();
}
