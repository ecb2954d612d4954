// Translation of strings: real translation files in a fresh directory per test, real named
// sections for the blocks, real threads for concurrent requests.
#include "ZySignal.h"
#include "ZyStandart.h"
#include "ZyTestFajly.h"
#include "ZyTestOzhidanie.h"
#include "ZyTestPapki.h"
#include "ZyTestPerevod.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace zytest;

// ZyPerevodStroki on a copy of `tekst` in a buffer of `bufSize` bytes (at least the text).
struct ZyItog {
    int rezultat;
    std::string tekst;
};

ZyItog perevesti(const std::string& tekst, unsigned bufSize = 0) {
    if (bufSize == 0) bufSize = unsigned(tekst.size() + 1 + 256);
    std::vector<char> buf(std::max<std::size_t>(bufSize, tekst.size() + 1) + 16, 'G');
    std::memcpy(buf.data(), tekst.c_str(), tekst.size() + 1);
    const int r = ZyPerevodStroki(buf.data(), bufSize);
    EXPECT_EQ('G', buf[std::max<std::size_t>(bufSize, tekst.size() + 1)]) << "written past";
    return ZyItog{r, std::string(buf.data())};
}

class Perevod : public VPapkeTesta {};

// ---- The file grows by itself ----------------------------------------------------------------

TEST_F(Perevod, FirstRunCreatesTheFileWithItsHeaderAndAppendsEveryText) {
    const ZyItog a = perevesti("Hello");
    EXPECT_EQ(5, a.rezultat);
    EXPECT_EQ("Hello", a.tekst);
    EXPECT_EQ(Zagolovok() + NovajaZapis("Hello"), ChitatFajl(kFajlPerevoda));

    EXPECT_EQ("Open \"a.txt\" now", perevesti("Open \"a.txt\" now").tekst);
    EXPECT_EQ("Hello", perevesti("Hello").tekst); // present, untranslated: not appended again
    EXPECT_EQ(Zagolovok() + NovajaZapis("Hello") + NovajaZapis("Open \"\" now"),
              ChitatFajl(kFajlPerevoda));
}

TEST_F(Perevod, QuotedPartGoesIntoTheTranslation) {
    const std::string fajl = Zagolovok() + Zapis("Open file \"\"", "Datei \"\" \xF6"
                                                                   "ffnen");
    ASSERT_TRUE(ZapisatFajl(kFajlPerevoda, fajl));
    const ZyItog a = perevesti("Open file \"a.txt\"");
    EXPECT_EQ("Datei \"a.txt\" \xF6"
              "ffnen",
              a.tekst);
    EXPECT_EQ(int(a.tekst.size()), a.rezultat);
    EXPECT_EQ(fajl, ChitatFajl(kFajlPerevoda)); // nothing appended
}

TEST_F(Perevod, ThreePartsInOrderAndFewerPairsDropTheRest) {
    ASSERT_TRUE(ZapisatFajl(
        kFajlPerevoda, Zagolovok() + Zapis("Copy \"\" to \"\" as \"\"", "\"\" -> \"\" (\"\")") +
                           Zapis("Move \"\" to \"\" as \"\"", "Bewege \"\" nach \"\"")));
    EXPECT_EQ("\"a\" -> \"b\" (\"c\")", perevesti("Copy \"a\" to \"b\" as \"c\"").tekst);
    EXPECT_EQ("Bewege \"a\" nach \"b\"", perevesti("Move \"a\" to \"b\" as \"c\"").tekst);
}

TEST_F(Perevod, BlankTranslationGivesTheTextAndAppendsNothing) {
    const std::string fajl = Zagolovok() + "\r\n Blank\r\n=  \t \r\n***";
    ASSERT_TRUE(ZapisatFajl(kFajlPerevoda, fajl));
    EXPECT_EQ("Blank", perevesti("Blank").tekst);
    EXPECT_EQ(fajl, ChitatFajl(kFajlPerevoda));
}

TEST_F(Perevod, KeyThatIsAPrefixOfAnotherDoesNotMatchIt) {
    const std::string fajl = Zagolovok() + Zapis("Abcd", "long");
    ASSERT_TRUE(ZapisatFajl(kFajlPerevoda, fajl));
    EXPECT_EQ("Abc", perevesti("Abc").tekst);
    EXPECT_EQ(fajl + NovajaZapis("Abc"), ChitatFajl(kFajlPerevoda));
    EXPECT_EQ("long", perevesti("Abcd").tekst);
}

TEST_F(Perevod, MultiLineTranslationKeepsItsLineEndsAndTrailingBlanks) {
    ASSERT_TRUE(
        ZapisatFajl(kFajlPerevoda, Zagolovok() + Zapis("Two", "\r\nfirst line\r\nsecond  ")));
    EXPECT_EQ("first line\r\nsecond  ", perevesti("Two").tekst);
}

TEST_F(Perevod, BufferExactlyLongEnoughSucceedsOneByteLessGivesZero) {
    ASSERT_TRUE(ZapisatFajl(kFajlPerevoda, Zagolovok() + Zapis("Short", "Longer text")));
    EXPECT_EQ(11, perevesti("Short", 12).rezultat);
    EXPECT_EQ("Longer text", perevesti("Short", 12).tekst);
    const ZyItog malo = perevesti("Short", 11);
    EXPECT_EQ(0, malo.rezultat);
    EXPECT_EQ("Short", malo.tekst);
    // The text itself must fit with its zero.
    EXPECT_EQ(4, perevesti("Four", 5).rezultat);
    EXPECT_EQ(0, perevesti("Four", 4).rezultat);
    EXPECT_EQ(Zagolovok() + Zapis("Short", "Longer text") + NovajaZapis("Four"),
              ChitatFajl(kFajlPerevoda)); // a text too long for its buffer is not even looked up
    EXPECT_EQ(0, ZyPerevodStroki(nullptr, 10));
}

TEST_F(Perevod, TranslationFillingTheBufferExactlyFitsOneByteMoreGivesZero) {
    // A buffer of 4072 bytes makes a block of exactly one page.
    const struct {
        std::size_t dlinaPerevoda;
        int rezultat; // 0: does not fit, the text stays
    } sluchai[] = {{4070, 4070}, {4071, 4071}, {4072, 0}, {5000, 0}};
    for (const auto& s : sluchai) {
        const std::string perevod(s.dlinaPerevoda, 'p');
        ASSERT_TRUE(ZapisatFajl(kFajlPerevoda, Zagolovok() + Zapis("Dlinnyj", perevod)));
        const ZyItog itog = perevesti("Dlinnyj", 4072);
        EXPECT_EQ(s.rezultat, itog.rezultat) << s.dlinaPerevoda;
        EXPECT_EQ(s.rezultat ? perevod : std::string("Dlinnyj"), itog.tekst) << s.dlinaPerevoda;
    }
}

TEST_F(Perevod, RequestLargerThanOnePageIsAnswered) {
    const std::string dlinnyj(9000, 'x');
    ASSERT_TRUE(ZapisatFajl(kFajlPerevoda, Zagolovok() + Zapis(dlinnyj, std::string(9500, 'y'))));
    const ZyItog a = perevesti(dlinnyj, 12000);
    EXPECT_EQ(9500, a.rezultat);
    EXPECT_EQ(std::string(9500, 'y'), a.tekst);
}

// ---- Bad files and places ----------------------------------------------------------------------

TEST_F(Perevod, FileOfRandomBytesIsReadSafelyAndKeptWhole) {
    std::mt19937 rng(42);
    std::string musor(20000, '\0');
    for (char& c : musor)
        c = char(rng());
    ASSERT_TRUE(ZapisatFajl(kFajlPerevoda, musor));
    for (const char* t : {"Hello", "*", "=", "\"x\""}) {
        const ZyItog a = perevesti(t);
        EXPECT_EQ(int(a.tekst.size()), a.rezultat);
    }
    const std::string posle = ChitatFajl(kFajlPerevoda);
    EXPECT_EQ(musor, posle.substr(0, musor.size())); // appended to, never rewritten
}

TEST_F(Perevod, FileWithoutAnyEndMarkIsOneEntry) {
    ASSERT_TRUE(ZapisatFajl(kFajlPerevoda, "Hello there = Hallo da\r\n"));
    EXPECT_EQ("Hallo da\r\n", perevesti("Hello there").tekst);
    EXPECT_EQ("Other", perevesti("Other").tekst);
    // The new entry lands after the old text, which from then on ends at its "***".
    EXPECT_EQ("Hello there = Hallo da\r\n" + NovajaZapis("Other"), ChitatFajl(kFajlPerevoda));
}

TEST_F(Perevod, KeyLongerThanTheFileIsAppended) {
    ASSERT_TRUE(ZapisatFajl(kFajlPerevoda, "A=B***"));
    const std::string dlinnyj(100, 'k');
    EXPECT_EQ(dlinnyj, perevesti(dlinnyj).tekst);
    EXPECT_EQ("A=B***" + NovajaZapis(dlinnyj), ChitatFajl(kFajlPerevoda));
}

TEST_F(Perevod, EmptyFileGetsTheHeaderAgain) {
    ASSERT_TRUE(ZapisatFajl(kFajlPerevoda, ""));
    EXPECT_EQ("Hi", perevesti("Hi").tekst);
    EXPECT_EQ(Zagolovok() + NovajaZapis("Hi"), ChitatFajl(kFajlPerevoda));
}

TEST_F(Perevod, QuotedPartsBeyondAnyFixedLimitAreKeptWhole) {
    std::string tekst = "Many:";
    std::string kljuch = "Many:";
    for (int i = 0; i < 70; ++i) {
        tekst += " \"" + std::to_string(i) + "\"";
        kljuch += " \"\"";
    }
    const std::string dlinnaja(300, 'p');
    tekst += " and \"" + dlinnaja + "\"";
    kljuch += " and \"\"";
    EXPECT_EQ(tekst, perevesti(tekst).tekst);
    EXPECT_EQ(Zagolovok() + NovajaZapis(kljuch), ChitatFajl(kFajlPerevoda));
    // One entry serves every instance, with all parts restored in order.
    std::string perevod = "Viele";
    for (int i = 0; i < 71; ++i)
        perevod += "|\"\"";
    ASSERT_TRUE(ZapisatFajl(kFajlPerevoda, Zagolovok() + Zapis(kljuch, perevod)));
    std::string ozhidaemo = "Viele";
    for (int i = 0; i < 70; ++i)
        ozhidaemo += "|\"" + std::to_string(i) + "\"";
    ozhidaemo += "|\"" + dlinnaja + "\"";
    EXPECT_EQ(ozhidaemo, perevesti(tekst).tekst);
}

TEST_F(Perevod, UnpairedQuoteStaysInTheKey) {
    EXPECT_EQ("Size \"12\" of \"x", perevesti("Size \"12\" of \"x").tekst);
    EXPECT_EQ(Zagolovok() + NovajaZapis("Size \"\" of \"x"), ChitatFajl(kFajlPerevoda));
}

TEST_F(Perevod, FileThatCannotBeCreatedLeavesTextsUnchanged) {
    // A directory in the place of the file: it can be neither created nor opened.
    ASSERT_TRUE(CreateDirectoryA(kFajlPerevoda, nullptr));
    const ZyItog a = perevesti("Open \"x\"");
    EXPECT_EQ("Open \"x\"", a.tekst);
    EXPECT_EQ(8, a.rezultat);
    RemoveDirectoryA(kFajlPerevoda);
}

TEST_F(Perevod, ReadOnlyFileStillTranslatesButCollectsNothing) {
    const std::string fajl = Zagolovok() + Zapis("Yes", "Ja");
    ASSERT_TRUE(ZapisatFajl(kFajlPerevoda, fajl));
    ASSERT_TRUE(SetFileAttributesA(kFajlPerevoda, FILE_ATTRIBUTE_READONLY));
    HANDLE proba = CreateFileA(kFajlPerevoda, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
    if (proba != INVALID_HANDLE_VALUE) {
        // NOTE: Wine run by root opens a read-only file for writing all the same.
        CloseHandle(proba);
        SetFileAttributesA(kFajlPerevoda, FILE_ATTRIBUTE_NORMAL);
        GTEST_SKIP() << "read-only files are writable here";
    }
    EXPECT_EQ("Ja", perevesti("Yes").tekst);
    EXPECT_EQ("No", perevesti("No").tekst);
    EXPECT_EQ(fajl, ChitatFajl(kFajlPerevoda));
    SetFileAttributesA(kFajlPerevoda, FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Perevod, FileHeldAgainstWritingStillTranslatesButCollectsNothing) {
    const std::string fajl = Zagolovok() + Zapis("Yes", "Ja");
    ASSERT_TRUE(ZapisatFajl(kFajlPerevoda, fajl));
    // Another holder that lets others read but not write, as an editor may.
    HANDLE derzhatel = CreateFileA(kFajlPerevoda, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, derzhatel);
    EXPECT_EQ("Ja", perevesti("Yes").tekst);
    EXPECT_EQ("No", perevesti("No").tekst);
    CloseHandle(derzhatel);
    EXPECT_EQ(fajl, ChitatFajl(kFajlPerevoda));
}

TEST_F(Perevod, FileHeldExclusivelyLeavesTextsUnchanged) {
    ASSERT_TRUE(ZapisatFajl(kFajlPerevoda, Zagolovok() + Zapis("Yes", "Ja")));
    HANDLE derzhatel = CreateFileA(kFajlPerevoda, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, derzhatel);
    const ZyItog a = perevesti("Yes");
    EXPECT_EQ("Yes", a.tekst);
    EXPECT_EQ(3, a.rezultat);
    CloseHandle(derzhatel);
}

// ---- The block protocol ------------------------------------------------------------------------

TEST_F(Perevod, BlockIsAnsweredInPlaceWithStateAndLength) {
    ASSERT_TRUE(ZapisatFajl(kFajlPerevoda, Zagolovok() + Zapis("A", "Alpha")));
    zytest::ZySyrojBlok blok("ZyTestBlokOtvet", 4096);
    ASSERT_NE(nullptr, blok.Adres());
    blok.Zapolnit(std::string("A\0B \"7\"\0", 8));
    EXPECT_EQ(1, ZyPerevodTeksta("ZyTestBlokOtvet", ">>", "<<", kFajlPerevoda));
    EXPECT_EQ(3u, blok.Pole(12));
    EXPECT_EQ(std::string("Alpha\0B \"7\"\0\0", 13), std::string(blok.Adres() + 24, 13));
    EXPECT_EQ(13u, blok.Pole(16));
    // The caller's prefix and suffix frame the new entry.
    EXPECT_EQ(Zagolovok() + Zapis("A", "Alpha") + "\r\n>>B \"\"\r\n=***<<",
              ChitatFajl(kFajlPerevoda));
}

TEST_F(Perevod, HeaderIsFoundAtAFourByteStep) {
    ASSERT_TRUE(ZapisatFajl(kFajlPerevoda, Zagolovok() + Zapis("A", "Alpha")));
    zytest::ZySyrojBlok blok("ZyTestBlokSdvig", 4096);
    blok.Zapolnit(std::string("A\0", 2), 1, 8);
    EXPECT_EQ(1, ZyPerevodTeksta("ZyTestBlokSdvig", " ", nullptr, kFajlPerevoda));
    EXPECT_STREQ("Alpha", blok.Adres() + 8 + 24);
}

TEST_F(Perevod, BlockWithoutSignatureBeepsOnceAndIsNotAnswered) {
    unsigned chastota = 0, dlitelnost = 0;
    const unsigned bylo = ZyVzSignal(nullptr, nullptr);
    zytest::ZySyrojBlok blok("ZyTestBlokBezMetki", 4096);
    std::memcpy(blok.Adres() + 24, "A\0", 2);
    EXPECT_EQ(0, ZyPerevodTeksta("ZyTestBlokBezMetki", " ", nullptr, kFajlPerevoda));
    EXPECT_EQ(bylo + 1, ZyVzSignal(&chastota, &dlitelnost));
    EXPECT_EQ(440u, chastota);
    EXPECT_EQ(1000u, dlitelnost);
    // No block of that name at all (here: the default name) is the same case.
    EXPECT_EQ(0, ZyPerevodTeksta(nullptr, " ", nullptr, kFajlPerevoda));
    EXPECT_EQ(bylo + 2, ZyVzSignal(nullptr, nullptr));
    bool est = true;
    ChitatFajl(kFajlPerevoda, &est);
    EXPECT_FALSE(est); // the file is not touched without a request
}

TEST_F(Perevod, BlockNotMarkedAsARequestIsLeftAlone) {
    const unsigned bylo = ZyVzSignal(nullptr, nullptr);
    zytest::ZySyrojBlok blok("ZyTestBlokNeZapros", 4096);
    blok.Zapolnit(std::string("A\0", 2), 0);
    EXPECT_EQ(0, ZyPerevodTeksta("ZyTestBlokNeZapros", " ", nullptr, kFajlPerevoda));
    EXPECT_EQ(0u, blok.Pole(12));
    EXPECT_EQ(bylo, ZyVzSignal(nullptr, nullptr));
    bool est = true;
    ChitatFajl(kFajlPerevoda, &est);
    EXPECT_FALSE(est);
}

TEST_F(Perevod, AnswerTooLargeForTheBlockLeavesTheRequest) {
    ASSERT_TRUE(ZapisatFajl(kFajlPerevoda, Zagolovok() + Zapis("K", std::string(5000, 'v'))));
    zytest::ZySyrojBlok blok("ZyTestBlokMalo", 4096);
    blok.Zapolnit(std::string("K\0", 2));
    EXPECT_EQ(0, ZyPerevodTeksta("ZyTestBlokMalo", " ", nullptr, kFajlPerevoda));
    EXPECT_EQ(1u, blok.Pole(12));
    EXPECT_STREQ("K", blok.Adres() + 24);
}

TEST_F(Perevod, RequestRunningToTheEndOfTheBlockIsReadNoFurther) {
    zytest::ZySyrojBlok blok("ZyTestBlokPolnyj", 4096);
    blok.Zapolnit(std::string("A\0", 2));
    std::memset(blok.Adres() + 26, 'z', 4096 - 26); // a second string without its zero
    EXPECT_EQ(1, ZyPerevodTeksta("ZyTestBlokPolnyj", " ", nullptr, kFajlPerevoda));
    EXPECT_EQ(Zagolovok() + NovajaZapis("A"), ChitatFajl(kFajlPerevoda));
}

// ---- Concurrent requests -----------------------------------------------------------------------

TEST_F(Perevod, ConcurrentRequestsAppendEveryNewTextExactlyOnce) {
    constexpr int kPotokov = 6;
    constexpr int kTekstov = 30;
    std::vector<std::thread> potoki;
    std::vector<int> neudach(kPotokov, 0);
    for (int p = 0; p < kPotokov; ++p)
        potoki.emplace_back([p, &neudach] {
            for (int i = 0; i < kTekstov; ++i) {
                // Each thread's own texts, and one text that every thread asks for.
                const std::string t = "Thread " + std::to_string(p) + " text " + std::to_string(i);
                char buf[64];
                std::strcpy(buf, t.c_str());
                if (ZyPerevodStroki(buf, sizeof buf) != int(t.size()) || t != buf) ++neudach[p];
                char obschij[64] = "Shared text";
                if (ZyPerevodStroki(obschij, sizeof obschij) != 11) ++neudach[p];
            }
        });
    for (std::thread& t : potoki)
        t.join();
    for (int p = 0; p < kPotokov; ++p)
        EXPECT_EQ(0, neudach[p]) << "thread " << p;
    const std::string fajl = ChitatFajl(kFajlPerevoda);
    ASSERT_EQ(0u, fajl.find(Zagolovok()));
    std::size_t zapisej = 0;
    for (std::size_t poz = 0; (poz = fajl.find("\r\n=***", poz)) != std::string::npos; ++poz)
        ++zapisej;
    EXPECT_EQ(std::size_t(kPotokov * kTekstov + 1), zapisej);
    for (int p = 0; p < kPotokov; ++p)
        for (int i = 0; i < kTekstov; ++i) {
            const std::string z =
                NovajaZapis("Thread " + std::to_string(p) + " text " + std::to_string(i));
            const std::size_t poz = fajl.find(z);
            EXPECT_NE(std::string::npos, poz) << z;
            EXPECT_EQ(std::string::npos, fajl.find(z, poz + 1)) << z;
        }
    EXPECT_NE(std::string::npos, fajl.find(NovajaZapis("Shared text")));
}

// ---- The file's text kept between requests -----------------------------------------------------

// Writes the translation file with a last write one minute ago, so that a request keeps its text.
void zapisatStaryjFajl(const std::string& tekst) {
    ASSERT_TRUE(ZapisatFajl(kFajlPerevoda, tekst));
    HANDLE h = CreateFileA(kFajlPerevoda, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    ULARGE_INTEGER t{{ft.dwLowDateTime, ft.dwHighDateTime}};
    t.QuadPart -= 60ull * 10000000ull;
    ft.dwLowDateTime = t.LowPart;
    ft.dwHighDateTime = t.HighPart;
    EXPECT_TRUE(SetFileTime(h, nullptr, nullptr, &ft));
    CloseHandle(h);
}

TEST_F(Perevod, FileEditedBetweenTwoRequestsIsSeenByTheSecond) {
    struct Sluchaj {
        const char* imja;
        std::string posle;       // the file as the user leaves it
        std::string ozhidaetsja; // what "Yes" becomes then
        std::string fajlPotom;   // the file after the second request
    };
    const std::string do_ = Zagolovok() + Zapis("Yes", "Ja") + Zapis("No", "Nein");
    const Sluchaj sluchai[] = {
        {"same size", Zagolovok() + Zapis("Yes", "Si") + Zapis("No", "Nein"), "Si", ""},
        {"longer", Zagolovok() + Zapis("Yes", "Jawohl") + Zapis("No", "Nein"), "Jawohl", ""},
        {"translation removed", Zagolovok() + Zapis("Yes", "") + Zapis("No", "Nein"), "Yes", ""},
        {"entry removed", Zagolovok() + Zapis("No", "Nein"), "Yes",
         Zagolovok() + Zapis("No", "Nein") + NovajaZapis("Yes")},
    };
    for (const Sluchaj& s : sluchai) {
        zapisatStaryjFajl(do_);
        EXPECT_EQ("Ja", perevesti("Yes").tekst) << s.imja;
        EXPECT_EQ("Ja", perevesti("Yes").tekst) << s.imja;
        ASSERT_TRUE(ZapisatFajl(kFajlPerevoda, s.posle));
        EXPECT_EQ(s.ozhidaetsja, perevesti("Yes").tekst) << s.imja;
        EXPECT_EQ("Nein", perevesti("No").tekst) << s.imja;
        EXPECT_EQ(s.fajlPotom.empty() ? s.posle : s.fajlPotom, ChitatFajl(kFajlPerevoda)) << s.imja;
    }
}

// Runs this program as a helper that translates `tekst` in the current directory; its exit code.
DWORD perevestiVDrugomProcesse(const std::string& tekst) {
    std::string komanda = "this --perevesti \"";
    for (char c : tekst)
        komanda += c == '"' ? std::string("\\\"") : std::string(1, c); // quotes escaped
    komanda += '"';
    return VypolnitSebja(komanda, 30000);
}

TEST_F(Perevod, TextAppendedByAnotherProcessIsFoundHere) {
    const std::string fajl = Zagolovok() + Zapis("Yes", "Ja");
    zapisatStaryjFajl(fajl);
    EXPECT_EQ("Ja", perevesti("Yes").tekst);
    ASSERT_EQ(0u, perevestiVDrugomProcesse("Saved \"a.txt\""));
    ASSERT_EQ(fajl + NovajaZapis("Saved \"\""), ChitatFajl(kFajlPerevoda));
    EXPECT_EQ("Saved \"b.txt\"", perevesti("Saved \"b.txt\"").tekst);
    EXPECT_EQ("Ja", perevesti("Yes").tekst);
    EXPECT_EQ(fajl + NovajaZapis("Saved \"\""), ChitatFajl(kFajlPerevoda)) << "appended twice";
}

TEST_F(Perevod, TwoThreadsTranslatingAtOnceWhileTextsAreCollected) {
    constexpr int kZapisej = 50;
    constexpr int kRaz = 200;
    std::string fajl = Zagolovok();
    for (int i = 0; i < kZapisej; ++i)
        fajl += Zapis("Entry " + std::to_string(i), "Eintrag " + std::to_string(i));
    zapisatStaryjFajl(fajl);
    int neudach[2] = {0, 0};
    std::vector<std::thread> potoki;
    for (int p = 0; p < 2; ++p)
        potoki.emplace_back([p, &neudach] {
            for (int i = 0; i < kRaz; ++i) {
                // Mostly texts in the file; every tenth a new one, which is appended.
                const int j = (i * 7 + p) % kZapisej;
                const bool novyj = i % 10 == 0;
                const std::string t = novyj ? "New " + std::to_string(p) + " " + std::to_string(i)
                                            : "Entry " + std::to_string(j);
                char buf[64];
                std::strcpy(buf, t.c_str());
                ZyPerevodStroki(buf, sizeof buf);
                if (std::string(buf) != (novyj ? t : "Eintrag " + std::to_string(j))) ++neudach[p];
            }
        });
    for (std::thread& t : potoki)
        t.join();
    EXPECT_EQ(0, neudach[0]);
    EXPECT_EQ(0, neudach[1]);
    const std::string potom = ChitatFajl(kFajlPerevoda);
    ASSERT_EQ(0u, potom.find(fajl));
    for (int p = 0; p < 2; ++p)
        for (int i = 0; i < kRaz; i += 10) {
            const std::string z = NovajaZapis("New " + std::to_string(p) + " " + std::to_string(i));
            const std::size_t poz = potom.find(z);
            EXPECT_NE(std::string::npos, poz) << z;
            EXPECT_EQ(std::string::npos, potom.find(z, poz + 1)) << z;
        }
}

} // namespace

// The test program, or with "--perevesti TEXT" a helper process that translates TEXT in the
// current directory and exits with 0 when it came back unchanged (it has no entry).
int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--perevesti") == 0) {
        char buf[256];
        if (std::strlen(argv[2]) >= sizeof buf) return 2;
        std::strcpy(buf, argv[2]);
        return ZyPerevodStroki(buf, sizeof buf) == int(std::strlen(argv[2])) &&
                       std::strcmp(buf, argv[2]) == 0
                   ? 0
                   : 1;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
