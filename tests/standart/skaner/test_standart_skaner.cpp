// ZyScanStrok: entry rules of the translation file. Every text is placed so that it ends
// exactly at an inaccessible page: a read past the given size fails the test at once.
#include "ZyStandart.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

namespace {

// Holds a text directly before a PAGE_NOACCESS page.
class ZyTekstUStrazhi {
public:
    explicit ZyTekstUStrazhi(const std::string& tekst) {
        SYSTEM_INFO si;
        GetSystemInfo(&si);
        const SIZE_T stranica = si.dwPageSize;
        const SIZE_T stranic = (tekst.size() + stranica - 1) / stranica + 1;
        baza_ = static_cast<char*>(
            VirtualAlloc(nullptr, stranic * stranica, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        DWORD bylo = 0;
        VirtualProtect(baza_ + (stranic - 1) * stranica, stranica, PAGE_NOACCESS, &bylo);
        tekst_ = baza_ + (stranic - 1) * stranica - tekst.size();
        std::memcpy(tekst_, tekst.data(), tekst.size());
        razmer_ = unsigned(tekst.size());
    }
    ~ZyTekstUStrazhi() { VirtualFree(baza_, 0, MEM_RELEASE); }
    ZyTekstUStrazhi(const ZyTekstUStrazhi&) = delete;
    ZyTekstUStrazhi& operator=(const ZyTekstUStrazhi&) = delete;

    const char* Tekst() const { return tekst_; }
    unsigned Razmer() const { return razmer_; }

private:
    char* baza_ = nullptr;
    char* tekst_ = nullptr;
    unsigned razmer_ = 0;
};

// One lookup: the result code and what was appended to an out buffer that held "<".
struct ZyOtvet {
    int rezultat;
    std::string dobavleno;
};

ZyOtvet najti(const std::string& fajl, const std::string& kljuch) {
    ZyTekstUStrazhi t(fajl);
    std::string out(fajl.size() + kljuch.size() + 8, 'G');
    out[0] = '<';
    out[1] = 0;
    const int r = ZyScanStrok(t.Tekst(), t.Razmer(), kljuch.c_str(), &out[0]);
    const std::size_t konec = std::strlen(out.c_str());
    EXPECT_EQ(0, out[konec]);
    EXPECT_EQ('\x01', out[konec - 1]);
    return ZyOtvet{r, out.substr(1, konec - 2)};
}

const std::string kNovaja = "\r\n ";
const std::string kKonecNovoj = "\r\n=***";

TEST(ZyScanStrok, TranslatedEntryGivesItsText) {
    const std::string f = "***\r\n Open file\r\n=Datei oeffnen***\r\n Close\r\n=Zu***";
    EXPECT_EQ(1, najti(f, "Open file").rezultat);
    EXPECT_EQ("Datei oeffnen", najti(f, "Open file").dobavleno);
    EXPECT_EQ("Zu", najti(f, "Close").dobavleno);
}

TEST(ZyScanStrok, SeparatorsBeforeAndAfterTheEqualsSign) {
    for (const char* zapis : {"Key=Tr***", "Key =Tr***", "Key\r\n=Tr***", "Key\t=  \r\n\tTr***",
                              "Key \r\n \t = \r\n Tr***"}) {
        const ZyOtvet o = najti(zapis, "Key");
        EXPECT_EQ(1, o.rezultat) << zapis;
        EXPECT_EQ("Tr", o.dobavleno) << zapis;
    }
    // A line feed alone may not follow the key directly.
    EXPECT_EQ(-1, najti("Key\n=Tr***", "Key").rezultat);
}

TEST(ZyScanStrok, NewEntryAndBlankTranslationCountAsUntranslated) {
    const ZyOtvet o = najti("***" + kNovaja + "Hello" + kKonecNovoj, "Hello");
    EXPECT_EQ(0, o.rezultat);
    EXPECT_EQ("Hello", o.dobavleno);
    EXPECT_EQ(0, najti("Hello=   \t\r\n***", "Hello").rezultat);
    EXPECT_EQ(0, najti("Hello***", "Hello").rezultat);
    EXPECT_EQ(0, najti("Hello  \r\n", "Hello").rezultat); // white space to the end of the file
    EXPECT_EQ(0, najti("Hello", "Hello").rezultat);       // the key is the whole file
}

TEST(ZyScanStrok, MissingEntryGivesTheKey) {
    const ZyOtvet o = najti("A=1***B=2***", "C");
    EXPECT_EQ(-1, o.rezultat);
    EXPECT_EQ("C", o.dobavleno);
    EXPECT_EQ(-1, najti("A=1***", "").rezultat);
    EXPECT_EQ(-1, najti("", "A").rezultat);
}

TEST(ZyScanStrok, KeyThatIsAPrefixOfAnotherKeyDoesNotMatchIt) {
    EXPECT_EQ(-1, najti("Abcd=long***", "Abc").rezultat);
    const ZyOtvet o = najti("Abcd=long***Abc=short***", "Abc");
    EXPECT_EQ(1, o.rezultat);
    EXPECT_EQ("short", o.dobavleno);
    // The entry "Abc def=..." only begins with the key Abc.
    EXPECT_EQ(-1, najti("Abc def=x***", "Abc").rezultat);
}

TEST(ZyScanStrok, KeysMatchOnlyAtTheStartOfAnEntry) {
    EXPECT_EQ(-1, najti("xKey=1***", "Key").rezultat);
    EXPECT_EQ(-1, najti("A=Key=2***", "Key").rezultat); // inside a translation
    EXPECT_EQ(1, najti("A=1***\r\n\t  Key=2***", "Key").rezultat);
    EXPECT_EQ(-1, najti("key=1***", "Key").rezultat); // case-sensitive
}

TEST(ZyScanStrok, FirstMatchingEntryWins) {
    EXPECT_EQ("one", najti("K=one***K=two***", "K").dobavleno);
    // An untranslated first entry hides a translated second one.
    EXPECT_EQ(0, najti("K\r\n=***K=two***", "K").rezultat);
}

TEST(ZyScanStrok, MultiLineTranslationKeepsInnerLineEndsAndTrailingBlanks) {
    const ZyOtvet o = najti("K\r\n=\r\n  line one\r\nline two  \r\n***", "K");
    EXPECT_EQ(1, o.rezultat);
    EXPECT_EQ("line one\r\nline two  \r\n", o.dobavleno);
}

TEST(ZyScanStrok, AsterisksEndEntriesOnlyInThrees) {
    EXPECT_EQ("a**b", najti("K=a**b***", "K").dobavleno);
    // "****": the entry ends at the first three, the fourth begins the next entry.
    EXPECT_EQ("x", najti("K=x****L=y***", "K").dobavleno);
    EXPECT_EQ(-1, najti("K=x****L=y***", "L").rezultat);
    EXPECT_EQ("y", najti("K=x***\r\n*L=y***M=z***", "*L").dobavleno);
    // Without a final "***" the translation runs to the end of the file.
    EXPECT_EQ("to the end", najti("A=1***K=to the end", "K").dobavleno);
}

TEST(ZyScanStrok, TheFileHeaderMatchesNoKey) {
    const std::string zagolovok =
        "RU:   text \"=\"\r\n      more \"***\".\r\n\r\nEN:   Below \"=\"\r\n      their "
        "\"***\".\r\n\r\n\r\n***";
    EXPECT_EQ(-1, najti(zagolovok, "RU:").rezultat);
    // The last part is the key ". with only white space: an entry without a translation.
    EXPECT_EQ(0, najti(zagolovok, "\".").rezultat);
    EXPECT_EQ(1, najti(zagolovok + kNovaja + "A\r\n=B***", "A").rezultat);
}

TEST(ZyScanStrok, KeyLongerThanTheTextIsNotFound) {
    EXPECT_EQ(-1, najti("Ab", "Abc").rezultat);
    EXPECT_EQ(-1, najti("Abc", std::string(5000, 'A')).rezultat);
}

TEST(ZyScanStrok, NullOutOnlyReports) {
    ZyTekstUStrazhi t("K=v***");
    EXPECT_EQ(1, ZyScanStrok(t.Tekst(), t.Razmer(), "K", nullptr));
    EXPECT_EQ(-1, ZyScanStrok(nullptr, 5, "K", nullptr));
}

// Random bytes, with the syntax bytes made frequent: no read outside the text (the guard page
// would fault), and the translation, when one is found, lies inside the text.
TEST(ZyScanStrok, RandomTextsNeverReadOutsideTheirBytes) {
    std::mt19937 rng(1);
    // No zero bytes: the out string of ZyScanStrok could not show what follows one.
    const char alfavit[] = {'*', '*', '=', ' ', '\r', '\n', '\t', 'K', 'e', 'y', '\x01'};
    for (int runde = 0; runde < 4000; ++runde) {
        std::string f(rng() % 64, ' ');
        for (char& c : f)
            c = rng() % 4 ? alfavit[rng() % sizeof alfavit] : char(1 + rng() % 255);
        const char* kljuchi[] = {"K", "Key", "Ke", "*", "="};
        const char* kljuch = kljuchi[rng() % 5];
        const ZyOtvet o = najti(f, kljuch);
        ASSERT_TRUE(o.rezultat == 1 || o.rezultat == 0 || o.rezultat == -1);
        if (o.rezultat != 1) {
            ASSERT_EQ(std::string(kljuch), o.dobavleno);
        } else {
            ASSERT_LE(o.dobavleno.size(), f.size());
            ASSERT_EQ(std::string::npos, o.dobavleno.find("***"));
        }
    }
}

} // namespace
