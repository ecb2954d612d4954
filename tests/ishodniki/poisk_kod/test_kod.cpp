// Encode and decode: round trips in every form, the encoded layout, key shortening, wrong keys,
// the size query, and encoded data that is damaged (a report and 0, nothing written).
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "ZyTestOzhidanie.h"
#include "fajl_pomoshch.h"

using namespace zytest;

namespace {

using Bajty = std::vector<unsigned char>;
constexpr const char* kKljuch = "Kljuch 16 bajtov";

// The report line of a box, without the system's text in front.
std::string stroka(const char* funkcija, unsigned serial) {
    return std::string("::Function: \"") + funkcija + "\"::Serial: \"" + std::to_string(serial) +
           "\"";
}

// Whether the boxes answered so far are exactly the reports listed.
void proveritOtchety(ZyStorozhOkon& s, std::vector<std::string> zhdem, const std::string& chto) {
    const auto okna = s.Okna();
    ASSERT_EQ(zhdem.size(), okna.size()) << chto << "\n" << Opisanie(okna);
    for (size_t i = 0; i < okna.size(); ++i)
        EXPECT_NE(std::string::npos, okna[i].tekst.find(zhdem[i])) << chto << ": " << okna[i].tekst;
    s.Zabyt();
}

// A file holding `b`, opened for writing.
void fajl(ZYKFAJL64& f, const std::string& imja, const Bajty& b) {
    ASSERT_TRUE(ZapisatBajty(imja, b));
    ASSERT_EQ(1, otkrytZapis(f, imja));
}

// The encoded form of `dannye` by the file-to-receiver form.
Bajty kodirovat(const Bajty& dannye, uint64_t pref, const char* kljuch = kKljuch) {
    ZYKFAJL64 f, p;
    fajl(f, "kodirovat_ist.bin", dannye);
    fajl(p, "kodirovat_kod.bin", {});
    EXPECT_EQ(-1, f.Kod(kljuch, nb(pref), &p));
    p.DES();
    return ChitatBajty("kodirovat_kod.bin");
}

// The three decodings of an encoded file: to a receiver, in place and into memory.
struct Dekodirovanie {
    int rez[3];
    Bajty vyshlo[3];
};
Dekodirovanie dekodirovat(const Bajty& kod, uint64_t pref, const char* kljuch = kKljuch) {
    Dekodirovanie d;
    ZYKFAJL64 f, p;
    fajl(f, "dk1.bin", kod);
    fajl(p, "vyh.bin", {});
    d.rez[0] = f.Dekod(kljuch, nb(pref), &p);
    p.DES();
    d.vyshlo[0] = ChitatBajty("vyh.bin");
    ZYKFAJL64 g;
    fajl(g, "dk2.bin", kod);
    d.rez[1] = g.Dekod(kljuch, nb(pref), nullptr);
    g.DES();
    d.vyshlo[1] = ChitatBajty("dk2.bin");
    unsigned long razmer = 0;
    d.rez[2] = f.Dekod(nullptr, &razmer, kljuch, (unsigned long)pref);
    if (d.rez[2] == 1) {
        d.vyshlo[2].assign(razmer + 1, 0xEE); // one byte more: never a null buffer
        d.rez[2] = f.Dekod(d.vyshlo[2].data(), &razmer, kljuch, (unsigned long)pref);
        EXPECT_EQ(0xEE, d.vyshlo[2].back()) << "nothing written past the data";
        d.vyshlo[2].resize(razmer);
    }
    return d;
}

uint64_t chislo64(const Bajty& b, size_t ot) {
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = v << 8 | b[ot + i];
    return v;
}

} // namespace

TEST(Kod, RoundTripsInEveryForm) {
    ZyPapkaTesta papka;
    ZyStorozhOkon storozh;
    for (uint64_t pref : {0u, 10u}) {
        for (size_t dlina : {0u, 1u, 65531u, 65532u, 65533u, 200000u}) {
            const std::string chto =
                "prefix " + std::to_string(pref) + ", data " + std::to_string(dlina);
            const Bajty dannye = uzor(pref + dlina, unsigned(dlina + pref));
            const Bajty kod = kodirovat(dannye, pref);
            // Layout: the plain prefix, the total length, then the records.
            ASSERT_GE(kod.size(), pref + 8) << chto;
            EXPECT_TRUE(std::equal(dannye.begin(), dannye.begin() + pref, kod.begin())) << chto;
            EXPECT_EQ(dannye.size(), chislo64(kod, pref)) << chto;
            const size_t blokov = (dlina + 65531) / 65532;
            EXPECT_LE(kod.size(), pref + 8 + dlina + 5 * blokov) << chto;

            ZYKFAJL64 f;
            fajl(f, "na_meste.bin", dannye);
            EXPECT_EQ(-1, f.Kod(kKljuch, nb(pref), nullptr)) << chto;
            EXPECT_EQ(u64(f.PoslIndeks), u64(f.Poz)) << "position at the end";
            f.DES();
            EXPECT_EQ(kod, ChitatBajty("na_meste.bin")) << chto << ": in place";

            ZYKFAJL64 o;
            fajl(o, "iz_ozu.bin", {'h', 'e', 'a', 'd'});
            const int r =
                o.Kod(kKljuch, dannye.data(), (unsigned long)pref, (unsigned long)dannye.size());
            o.DES();
            Bajty zhdem = {'h', 'e', 'a', 'd'};
            if (dlina == 0) {
                EXPECT_EQ(0, r) << chto << ": memory needs data after the prefix";
                proveritOtchety(storozh, {stroka("Kod in file from RAM", 1)}, chto);
            } else {
                EXPECT_EQ(-1, r) << chto;
                zhdem.insert(zhdem.end(), kod.begin(), kod.end());
            }
            EXPECT_EQ(zhdem, ChitatBajty("iz_ozu.bin")) << chto << ": from memory, appended";

            const Dekodirovanie d = dekodirovat(kod, pref);
            for (int i = 0; i < 3; ++i) {
                EXPECT_EQ(-1, d.rez[i]) << chto << ": decoding form " << i;
                EXPECT_EQ(dannye, d.vyshlo[i]) << chto << ": decoding form " << i;
            }
        }
    }
    proveritOtchety(storozh, {}, "no other report");
}

TEST(Kod, ZeroBlocksKeyShorteningAndWrongKeys) {
    ZyPapkaTesta papka;
    ZyStorozhOkon storozh;
    const Bajty nuli(65532 + 3, 0);
    const Bajty kod = kodirovat(nuli, 0);
    ASSERT_EQ(16u, kod.size()) << "the total length and two records of 4 bytes";
    EXPECT_EQ(65535u, chislo64(kod, 0));
    EXPECT_EQ(Bajty(8, 0), Bajty(kod.begin() + 8, kod.end()));

    const Bajty desjat = {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(kodirovat(desjat, 0, "abcde"), kodirovat(desjat, 0, "abcdefghijklmnopqrstuvwxyz0123"))
        << "a key longer than the data: half the data length of it";
    EXPECT_NE(kodirovat(desjat, 0, "abcde"), kodirovat(desjat, 0, "abcdf"));
    EXPECT_EQ(kodirovat({'q'}, 0, "x"), kodirovat({'q'}, 0, "xyz")) << "one byte, one key byte";

    const Bajty dannye = uzor(100000, 9);
    const Dekodirovanie d = dekodirovat(kodirovat(dannye, 0), 0, "Drugoj kljuch");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(-1, d.rez[i]) << "a wrong key is no error, form " << i;
        EXPECT_EQ(dannye.size(), d.vyshlo[i].size());
        EXPECT_NE(dannye, d.vyshlo[i]) << "but other bytes, form " << i;
    }
    proveritOtchety(storozh, {}, "no report");
}

TEST(Kod, SizeQueryAndEmptyKey) {
    ZyPapkaTesta papka;
    ZyStorozhOkon storozh;
    const Bajty dannye = uzor(5000, 2);
    ZYKFAJL64 f;
    fajl(f, "kod.bin", kodirovat(dannye, 7));
    unsigned long razmer = 123;
    EXPECT_EQ(1, f.Dekod(nullptr, &razmer, kKljuch, 7));
    EXPECT_EQ(5000u, razmer);
    Bajty malo(100);
    razmer = 100;
    EXPECT_EQ(1, f.Dekod(malo.data(), &razmer, kKljuch, 7)) << "too small a buffer";
    EXPECT_EQ(5000u, razmer);
    EXPECT_EQ(0, f.Dekod(nullptr, nullptr, kKljuch, 7));
    EXPECT_EQ(0, f.Dekod(nullptr, &razmer, nullptr, 7));

    Bajty bolshoj = {0, 0, 0, 0, 2, 0, 0, 0}; // 2^33 bytes
    ZYKFAJL64 b;
    fajl(b, "bolshoj.bin", bolshoj);
    EXPECT_EQ(2, b.Dekod(nullptr, &razmer, kKljuch, 0)) << "more than 32 bits";

    // Without a key nothing is encoded: the receiver gets the file, memory the whole file.
    ZYKFAJL64 ist, p;
    fajl(ist, "plain.bin", dannye);
    fajl(p, "plain_kod.bin", {'x'});
    EXPECT_EQ(-1, ist.Kod("", nb(0), &p));
    Bajty zhdem = {'x'};
    zhdem.insert(zhdem.end(), dannye.begin(), dannye.end());
    EXPECT_EQ(zhdem, soderzhimoe(p));
    razmer = 0;
    EXPECT_EQ(1, ist.Dekod(nullptr, &razmer, "", 3)) << "the size of the plain file";
    EXPECT_EQ(5000u, razmer);
    Bajty vse(razmer);
    EXPECT_EQ(-1, ist.Dekod(vse.data(), &razmer, "", 3));
    EXPECT_EQ(dannye, vse);
    proveritOtchety(storozh, {}, "no report");
}

// Another object of the same file: as the receiver, whose idea of the file's end is stale (the
// output goes to the end as it is, never over data not yet read), and in place, where the file
// cannot be cut while the other object has it open (the call succeeds where the file only
// grows, and otherwise fails with the file as before).
TEST(Kod, AnotherObjectOfTheSameFile) {
    ZyPapkaTesta papka;
    ZyStorozhOkon storozh;
    const Bajty golova = uzor(100, 3), dannye = uzor(300000, 4);
    Bajty vse = golova;
    vse.insert(vse.end(), dannye.begin(), dannye.end());
    const Bajty kod = kodirovat(vse, 100);
    const Bajty kodVsego = kodirovat(vse, 0);
    auto plus = [](Bajty a, const Bajty& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const struct {
        const char* chto;
        Bajty fajl;    // the file as the other object opened it
        Bajty dopisat; // written through the first object afterwards, at the end
        int (*vyzov)(ZYKFAJL64& a, ZYKFAJL64& b);
        int rezultat;
        Bajty posle;
        std::vector<std::string> otchety;
    } sluchai[] = {
        {"encode onto the other object",
         golova,
         dannye,
         [](ZYKFAJL64& a, ZYKFAJL64& b) { return a.Kod(kKljuch, nb(0), &b); },
         -1,
         plus(vse, kodVsego),
         {}},
        {"decode onto the other object",
         Bajty(kod.begin(), kod.begin() + 100),
         Bajty(kod.begin() + 100, kod.end()),
         [](ZYKFAJL64& a, ZYKFAJL64& b) { return a.Dekod(kKljuch, nb(100), &b); },
         -1,
         plus(kod, vse),
         {}},
        {"encode in place while the other has the file",
         vse,
         {},
         [](ZYKFAJL64& a, ZYKFAJL64&) { return a.Kod(kKljuch, nb(100), nullptr); },
         -1,
         kod,
         {}},
        {"decode in place while the other has the file",
         kod,
         {},
         [](ZYKFAJL64& a, ZYKFAJL64&) { return a.Dekod(kKljuch, nb(100), nullptr); },
         0,
         kod,
         {stroka("FIN", 5), stroka("Dekod", 11)}},
    };
    for (const auto& s : sluchai) {
        ZYKFAJL64 a, b;
        fajl(a, "odin.bin", s.fajl);
        ASSERT_EQ(1, otkrytZapis(b, "odin.bin"));
        if (!s.dopisat.empty()) {
            const ZYKNB64 konec = a.Razmer;
            ASSERT_NE(0, a.Kop(konec, s.dopisat.data(), (unsigned long)s.dopisat.size()));
        }
        EXPECT_EQ(s.rezultat, s.vyzov(a, b)) << s.chto;
        a.DES();
        b.DES();
        EXPECT_EQ(s.posle.size(), ChitatBajty("odin.bin").size()) << s.chto;
        EXPECT_TRUE(s.posle == ChitatBajty("odin.bin")) << s.chto;
        proveritOtchety(storozh, s.otchety, s.chto);
    }
}

// Damaged encoded data in every decoding form: a report and 0, the receiver, the file in place
// and memory beyond the reach of the record untouched.
TEST(Kod, DamagedDataIsReportedAndNothingIsWritten) {
    ZyPapkaTesta papka;
    ZyStorozhOkon storozh;
    const Bajty dlinnaja = {100, 0, 0, 0, 0, 0, 0, 0}; // the total length alone
    Bajty kod = kodirovat(uzor(100, 5), 0);
    Bajty bolshe = kod;
    bolshe[0] = 0x70; // 70000: more than the one record can give
    bolshe[1] = 0x11;
    bolshe[2] = 0x01;
    auto s = [](Bajty b, std::initializer_list<unsigned char> d) {
        b.insert(b.end(), d);
        return b;
    };
    struct Sluchaj {
        const char* chto;
        Bajty dannye;
        unsigned sPriemnik, sNaMeste, sOzu; // 0 for the memory form: no report
    };
    const Sluchaj sluchai[] = {
        {"lengths beyond a block", s(dlinnaja, {0xFF, 0xFF, 0, 0, 1, 2, 3}), 13, 6, 13},
        {"remainder length beyond a block", s(dlinnaja, {0, 0, 0xFD, 0xFF}), 13, 6, 13},
        {"quotient past the end", s(dlinnaja, {50, 0, 0, 0, 1, 2, 3}), 14, 7, 14},
        {"remainder past the end", s(dlinnaja, {1, 0, 50, 0, 1, 2, 3}), 15, 8, 15},
        {"no record", dlinnaja, 13, 6, 13},
        {"truncated total length", {1, 2, 3}, 4, 4, 0},
        {"total length beyond the records", bolshe, 13, 6, 13},
    };
    for (const Sluchaj& c : sluchai) {
        const Dekodirovanie d = dekodirovat(c.dannye, 0);
        EXPECT_EQ(0, d.rez[0]) << c.chto;
        EXPECT_TRUE(d.vyshlo[0].empty()) << c.chto << ": the receiver stays empty";
        EXPECT_EQ(0, d.rez[1]) << c.chto;
        EXPECT_EQ(c.dannye, d.vyshlo[1]) << c.chto << ": the file in place is unchanged";
        std::vector<std::string> zhdem = {stroka("Dekod", c.sPriemnik),
                                          stroka("Dekod", c.sNaMeste)};
        if (c.sOzu) {
            EXPECT_EQ(0, d.rez[2]) << c.chto;
            zhdem.push_back(stroka("Dekod in RAM from file", c.sOzu));
        } else {
            EXPECT_EQ(0, d.rez[2]) << c.chto << ": no total length, no size";
        }
        proveritOtchety(storozh, zhdem, c.chto);
    }
}

TEST(Kod, RefusalsBeforeAnythingIsWritten) {
    ZyPapkaTesta papka;
    ZyStorozhOkon storozh;
    const Bajty dannye = uzor(1000, 4);
    ZYKFAJL64 f, p, zakryt;
    fajl(f, "ist.bin", dannye);
    fajl(p, "pr.bin", {});
    // The key "\xFF" makes the key number 0: nothing can be divided by it.
    EXPECT_EQ(0, f.Kod("\xFF", nb(0), &p));
    EXPECT_EQ(0, f.Kod("\xFF", nb(0), nullptr));
    EXPECT_EQ(0, p.Kod("\xFF", dannye.data(), 0, 1000));
    EXPECT_EQ(0, f.Kod(nullptr, nb(0), &p));
    EXPECT_EQ(0, f.Kod(kKljuch, nb(1001), &p)) << "a prefix beyond the file";
    EXPECT_EQ(0, zakryt.Kod(kKljuch, nb(0), &p));
    EXPECT_EQ(0, zakryt.Dekod(kKljuch, nb(0), &p));
    EXPECT_EQ(0, p.Kod(kKljuch, nullptr, 0, 10));
    proveritOtchety(storozh,
                    {stroka("Kod", 7), stroka("Kod", 7), stroka("Kod in file from RAM", 7),
                     stroka("Kod", 1), stroka("Kod", 1), stroka("Kod", 0), stroka("Dekod", 0),
                     stroka("Kod in file from RAM", 1)},
                    "refusals");
    EXPECT_EQ(0u, u64(p.Razmer));
    EXPECT_EQ(dannye, ChitatBajty("ist.bin"));
    // Data encoded under another key cannot be decoded with a key whose number is 0.
    ZYKFAJL64 k;
    fajl(k, "k.bin", kodirovat(dannye, 0));
    EXPECT_EQ(0, k.Dekod("\xFF", nb(0), &p));
    proveritOtchety(storozh, {stroka("Dekod", 19)}, "zero key number");
}

namespace {

HANDLE gNaPauze = nullptr, gDalshe = nullptr;
std::atomic<bool> gBylaPauza{false};
ZYKFAJL64* gObjekt = nullptr;
Quorvel::ZYS_SIST_VYZOVY gIshodnaja;

// Holds the operation at its first read or write after the object's progress window was
// started, until the test lets it go on.
void zaderzhka() {
    if (gObjekt->PotokProgressa && !gBylaPauza.exchange(true)) {
        SetEvent(gNaPauze);
        WaitForSingleObject(gDalshe, 30000);
    }
}
BOOL WINAPI zaderzhkaRead(HANDLE h, LPVOID b, DWORD n, LPDWORD z, LPOVERLAPPED o) {
    zaderzhka();
    return gIshodnaja.ReadFile(h, b, n, z, o);
}
BOOL WINAPI zaderzhkaWrite(HANDLE h, LPCVOID b, DWORD n, LPDWORD z, LPOVERLAPPED o) {
    zaderzhka();
    return gIshodnaja.WriteFile(h, b, n, z, o);
}

} // namespace

// The progress window of each form: its title and labels, "RAM" for memory, gone at the end.
TEST(Kod, ProgressWindowOfEveryForm) {
    ZyPapkaTesta papka;
    ZyStorozhOkon storozh;
    const Bajty dannye = uzor(3 << 20, 8);
    const Bajty kod = kodirovat(dannye, 0);
    ZYKFAJL64 ist, enc, priem;
    fajl(ist, "p_ist.bin", dannye);
    fajl(enc, "p_kod.bin", kod);
    fajl(priem, "p_priem.bin", {});
    Bajty ozu(dannye.size());
    struct Sluchaj {
        const char* zagolovok;
        ZYKFAJL64* f;
        std::function<int()> op;
        std::string istochnik, priemnik;
    };
    const Sluchaj sluchai[] = {
        {"\"ZYKFAJL64\" - Encode", &ist, [&] { return ist.Kod(kKljuch, nb(0), &priem); }, ist.Imja,
         priem.Imja},
        {"\"ZYKFAJL64\" - Encode", &priem,
         [&] { return priem.Kod(kKljuch, dannye.data(), 0, (unsigned long)dannye.size()); }, "RAM",
         priem.Imja},
        {"\"ZYKFAJL64\" - Decode", &enc,
         [&] {
             unsigned long r = (unsigned long)ozu.size();
             return enc.Dekod(ozu.data(), &r, kKljuch, 0);
         },
         enc.Imja, "RAM"},
    };
    for (const Sluchaj& c : sluchai) {
        PodmenaVyzovov podmena;
        gIshodnaja = podmena.tablica();
        gBylaPauza = false;
        gObjekt = c.f;
        gNaPauze = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        gDalshe = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        podmena.tablica().ReadFile = zaderzhkaRead;
        podmena.tablica().WriteFile = zaderzhkaWrite;
        c.f->Flagi |= Quorvel::ZYF64_PROGRESS;
        int rez = 0;
        std::thread potok([&] { rez = c.op(); });
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(gNaPauze, 30000)) << c.zagolovok;
        HWND okno = nullptr;
        EXPECT_TRUE(ZhdatPoka(
            [&] { return (okno = FindWindowA("ZyKFajl64_Progres", nullptr)) != nullptr; }, 30000))
            << c.zagolovok;
        std::string teksty[5];
        if (okno) {
            char buf[512];
            GetWindowTextA(okno, buf, sizeof buf);
            teksty[0] = buf;
            for (int id = 1; id <= 4; ++id) {
                buf[0] = 0;
                GetDlgItemTextA(okno, id, buf, sizeof buf);
                teksty[id] = buf;
            }
        }
        SetEvent(gDalshe);
        potok.join();
        EXPECT_EQ(-1, rez) << c.zagolovok;
        EXPECT_EQ(c.zagolovok, teksty[0]);
        EXPECT_EQ("Source:", teksty[1]);
        EXPECT_EQ(c.istochnik, teksty[2]);
        EXPECT_EQ("Receiver:", teksty[3]);
        EXPECT_EQ(c.priemnik, teksty[4]);
        EXPECT_TRUE(
            ZhdatPoka([] { return FindWindowA("ZyKFajl64_Progres", nullptr) == nullptr; }, 30000))
            << "the window is gone after " << c.zagolovok;
        EXPECT_EQ(0u, c.f->PotokProgressa);
        EXPECT_NE(0u, c.f->Flagi & Quorvel::ZYF64_PROGRESS) << "the flag comes back";
        c.f->Flagi &= ~Quorvel::ZYF64_PROGRESS;
        CloseHandle(gNaPauze);
        CloseHandle(gDalshe);
    }
    EXPECT_EQ(dannye, ozu);
    proveritOtchety(storozh, {}, "no report");
}
