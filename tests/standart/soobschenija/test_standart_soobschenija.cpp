// ZyMessage and ZyMessageError: the box shows the translated texts (read back from the real
// dialog), the translation file collects new texts, the result is the pressed button.
#include "ZySbojVydelenija.h"
#include "ZyStandart.h"
#include "ZyTestFajly.h"
#include "ZyTestPapki.h"
#include "ZyTestPerevod.h"
#include "ZyTestSoobshenija.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace zytest;

// Makes the thread's last error that of a failed file open.
void provalitOtkrytie() {
    HANDLE h =
        CreateFileA("no such file here.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_EQ(INVALID_HANDLE_VALUE, h);
    ASSERT_EQ(DWORD(ERROR_FILE_NOT_FOUND), GetLastError());
}

class Soobschenija : public VPapkeTesta {};

TEST_F(Soobschenija, UnknownTextAndCaptionShowUnchangedAndAddTwoEntries) {
    ZyStorozhOkon storozh{IDOK};
    EXPECT_EQ(IDOK, ZyMessage(nullptr, "Cannot read \"a.dat\".", "Module: \"Test\"", MB_OK));
    const std::vector<ZyOkno>& okna = storozh.Ostanovit();
    ASSERT_EQ(1u, okna.size());
    EXPECT_EQ("Module: \"Test\"", okna[0].zagolovok);
    EXPECT_EQ("Cannot read \"a.dat\".", okna[0].tekst);
    EXPECT_EQ(Zagolovok() + NovajaZapis("Cannot read \"\".") + NovajaZapis("Module: \"\""),
              ChitatFajl(kFajlPerevoda));
}

TEST_F(Soobschenija, TextAndCaptionAreShownTranslated) {
    ASSERT_TRUE(ZapisatFajl(kFajlPerevoda,
                            Zagolovok() + Zapis("Cannot read \"\".", "Kann \"\" nicht lesen.") +
                                Zapis("Module: \"\"", "Modul: \"\"")));
    ZyStorozhOkon storozh{IDOK};
    EXPECT_EQ(IDOK, ZyMessage(nullptr, "Cannot read \"a.dat\".", "Module: \"Test\"", MB_OK));
    const std::vector<ZyOkno>& okna = storozh.Ostanovit();
    ASSERT_EQ(1u, okna.size());
    EXPECT_EQ("Modul: \"Test\"", okna[0].zagolovok);
    EXPECT_EQ("Kann \"a.dat\" nicht lesen.", okna[0].tekst);
}

TEST_F(Soobschenija, ResultIsThePressedButton) {
    ZyStorozhOkon storozh{IDCANCEL, IDRETRY, IDNO};
    EXPECT_EQ(IDCANCEL, ZyMessage(nullptr, "Go on?", "Question", MB_OKCANCEL));
    EXPECT_EQ(IDRETRY, ZyMessage(nullptr, "Again?", "Question", MB_RETRYCANCEL));
    EXPECT_EQ(IDNO, ZyMessage(nullptr, "Save?", "Question", MB_YESNO));
    EXPECT_EQ(3u, storozh.Ostanovit().size());
}

TEST_F(Soobschenija, BoxBelongsToTheOwnerWindow) {
    HWND vladelec = CreateWindowA("STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                                  100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, vladelec);
    ZyStorozhOkon storozh{IDOK};
    EXPECT_EQ(IDOK, ZyMessage(vladelec, "Owned", "Owner test", MB_OK));
    const std::vector<ZyOkno>& okna = storozh.Ostanovit();
    ASSERT_EQ(1u, okna.size());
    EXPECT_EQ(vladelec, okna[0].vladelec);
    DestroyWindow(vladelec);
}

TEST_F(Soobschenija, NullTextOrCaptionShowEmpty) {
    ZyStorozhOkon storozh{IDOK, IDOK};
    EXPECT_EQ(IDOK, ZyMessage(nullptr, nullptr, "Only a caption", MB_OK));
    EXPECT_EQ(IDOK, ZyMessage(nullptr, "Only a text", nullptr, MB_OK));
    const std::vector<ZyOkno>& okna = storozh.Ostanovit();
    ASSERT_EQ(2u, okna.size());
    EXPECT_EQ("Only a caption", okna[0].zagolovok);
    EXPECT_EQ("", okna[0].tekst);
    EXPECT_EQ("Only a text", okna[1].tekst);
    EXPECT_EQ(Zagolovok() + NovajaZapis("Only a caption") + NovajaZapis("Only a text"),
              ChitatFajl(kFajlPerevoda));
}

TEST_F(Soobschenija, ErrorBoxShowsTheSystemTextAlone) {
    const std::string sistemnyj = SistemnyjTekst(ERROR_FILE_NOT_FOUND);
    ASSERT_FALSE(sistemnyj.empty());
    ZyStorozhOkon storozh{IDOK};
    provalitOtkrytie();
    EXPECT_EQ(IDOK, ZyMessageError(nullptr, MB_OK));
    const std::vector<ZyOkno>& okna = storozh.Ostanovit();
    ASSERT_EQ(1u, okna.size());
    EXPECT_EQ("ZyMessageError.", okna[0].zagolovok);
    EXPECT_EQ(sistemnyj, okna[0].tekst);
    EXPECT_EQ(Zagolovok() + NovajaZapis(sistemnyj) + NovajaZapis("ZyMessageError."),
              ChitatFajl(kFajlPerevoda));
}

TEST_F(Soobschenija, ErrorBoxAppendsExtraDirectlyAfterTheSystemText) {
    const std::string sistemnyj = SistemnyjTekst(ERROR_FILE_NOT_FOUND);
    ZyStorozhOkon storozh{IDCANCEL};
    provalitOtkrytie();
    EXPECT_EQ(IDCANCEL, ZyMessageError("File: \"no such file here.txt\"", MB_OKCANCEL));
    const std::vector<ZyOkno>& okna = storozh.Ostanovit();
    ASSERT_EQ(1u, okna.size());
    EXPECT_EQ(sistemnyj + "File: \"no such file here.txt\"", okna[0].tekst);
    EXPECT_NE(std::string::npos,
              ChitatFajl(kFajlPerevoda).find(NovajaZapis(sistemnyj + "File: \"\"")));
}

TEST_F(Soobschenija, ErrorBoxIsShownTranslated) {
    const std::string sistemnyj = SistemnyjTekst(ERROR_FILE_NOT_FOUND);
    ASSERT_TRUE(ZapisatFajl(kFajlPerevoda, Zagolovok() + Zapis(sistemnyj, "Datei fehlt.") +
                                               Zapis("ZyMessageError.", "Systemfehler.")));
    ZyStorozhOkon storozh{IDOK};
    provalitOtkrytie();
    ZyMessageError(nullptr, MB_OK);
    const std::vector<ZyOkno>& okna = storozh.Ostanovit();
    ASSERT_EQ(1u, okna.size());
    EXPECT_EQ("Systemfehler.", okna[0].zagolovok);
    EXPECT_EQ("Datei fehlt.", okna[0].tekst);
}

TEST_F(Soobschenija, ErrorTextWithInsertsAndUnknownErrorsAreShownSafely) {
    ZyStorozhOkon storozh{IDOK, IDOK};
    SetLastError(ERROR_BAD_EXE_FORMAT); // "%1 is not a valid ..." : the insert stays as it is
    ZyMessageError(nullptr, MB_OK);
    SetLastError(0x2000FFFF); // no system text at all
    ZyMessageError(" extra", MB_OK);
    const std::vector<ZyOkno>& okna = storozh.Ostanovit();
    ASSERT_EQ(2u, okna.size());
    EXPECT_EQ(SistemnyjTekst(ERROR_BAD_EXE_FORMAT), okna[0].tekst);
    EXPECT_EQ("Error \"536936447\".\r\n extra", okna[1].tekst);
}

TEST_F(Soobschenija, OutOfMemoryShowsTheTextsAsGivenAndThrowsNothing) {
    // The n-th allocation of the library fails: the copies of the texts, the translation's.
    ASSERT_TRUE(ZapisatFajl(kFajlPerevoda, Zagolovok() + Zapis("Tekst", "Perevod")));
    for (unsigned n = 1; n <= 6; ++n) {
        ZyStorozhOkon storozh{IDOK};
        int r = 0;
        ZySbojVydelenija(n);
        EXPECT_NO_THROW(r = ZyMessage(nullptr, "Tekst", "Zagolovok", MB_OK)) << n;
        ZySbojVydelenija(0);
        EXPECT_EQ(IDOK, r) << n;
        const std::vector<ZyOkno>& okna = storozh.Ostanovit();
        ASSERT_EQ(1u, okna.size()) << n;
        EXPECT_TRUE(okna[0].tekst == "Tekst" || okna[0].tekst == "Perevod") << okna[0].tekst;
    }
    for (unsigned n = 1; n <= 6; ++n) {
        ZyStorozhOkon storozh{IDOK};
        int r = 0;
        provalitOtkrytie();
        ZySbojVydelenija(n);
        EXPECT_NO_THROW(r = ZyMessageError("Dopolnenie", MB_OK)) << n;
        ZySbojVydelenija(0);
        EXPECT_EQ(IDOK, r) << n;
        ASSERT_EQ(1u, storozh.Ostanovit().size()) << n;
    }
}

} // namespace
