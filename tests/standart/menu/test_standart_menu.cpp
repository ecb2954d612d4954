// ZyPerevodMenu on real menus: texts by position, separators, submenus, item properties.
#include "ZyStandart.h"
#include "ZyTestFajly.h"
#include "ZyTestPapki.h"
#include "ZyTestPerevod.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace zytest;

// The text of the item at `poz`.
std::string tekst(HMENU menu, int poz) {
    char buf[2048] = {};
    GetMenuStringA(menu, UINT(poz), buf, sizeof buf, MF_BYPOSITION);
    return buf;
}

// Type, state, identifier and submenu of the item at `poz`.
MENUITEMINFOA svojstva(HMENU menu, int poz) {
    MENUITEMINFOA mii = {};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU;
    EXPECT_TRUE(GetMenuItemInfoA(menu, UINT(poz), TRUE, &mii));
    return mii;
}

// A menu destroyed at the end of the test.
struct ZyMenu {
    HMENU h = CreatePopupMenu();
    ~ZyMenu() { DestroyMenu(h); }
};

class Menu : public VPapkeTesta {};

TEST_F(Menu, ItemsAreTranslatedInOrderSeparatorsAndSubmenusKept) {
    ASSERT_TRUE(ZapisatFajl(kFajlPerevoda, Zagolovok() + Zapis("&File", "&Datei") +
                                               Zapis("More", "Mehr") +
                                               Zapis("Open \"\"", "\"\" \xF6"
                                                                  "ffnen")));
    ZyMenu m;
    HMENU vnutri = CreatePopupMenu();
    AppendMenuA(vnutri, MF_STRING, 10, "&File");
    AppendMenuA(m.h, MF_STRING, 1, "&File");
    AppendMenuA(m.h, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(m.h, MF_STRING | MF_CHECKED | MF_GRAYED, 2, "Open \"a.txt\"");
    AppendMenuA(m.h, MF_POPUP, reinterpret_cast<UINT_PTR>(vnutri), "More");
    AppendMenuA(m.h, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(m.h, MF_STRING, 3, "&File");

    EXPECT_EQ(6, ZyPerevodMenu(m.h));
    EXPECT_EQ("&Datei", tekst(m.h, 0));
    EXPECT_EQ("", tekst(m.h, 1));
    EXPECT_EQ("\"a.txt\" \xF6"
              "ffnen",
              tekst(m.h, 2));
    EXPECT_EQ("Mehr", tekst(m.h, 3));
    EXPECT_EQ("&Datei", tekst(m.h, 5));
    EXPECT_TRUE(svojstva(m.h, 1).fType & MFT_SEPARATOR);
    EXPECT_TRUE(svojstva(m.h, 4).fType & MFT_SEPARATOR);
    const MENUITEMINFOA otkryt = svojstva(m.h, 2);
    EXPECT_EQ(2u, otkryt.wID);
    EXPECT_TRUE(otkryt.fState & MFS_CHECKED);
    EXPECT_TRUE(otkryt.fState & MFS_GRAYED);
    EXPECT_EQ(vnutri, svojstva(m.h, 3).hSubMenu);
    EXPECT_EQ("&File", tekst(vnutri, 0)); // submenus are not the menu's own items
    EXPECT_EQ(3u, svojstva(m.h, 5).wID);
}

TEST_F(Menu, ItemTypeFlagsSurviveTheNewText) {
    ASSERT_TRUE(
        ZapisatFajl(kFajlPerevoda, Zagolovok() + Zapis("One", "Eins") + Zapis("Help", "Hilfe")));
    ZyMenu m;
    MENUITEMINFOA mii = {};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_ID;
    mii.fType = MFT_RADIOCHECK;
    mii.wID = 7;
    mii.dwTypeData = const_cast<char*>("One");
    ASSERT_TRUE(InsertMenuItemA(m.h, 0, TRUE, &mii));
    mii.fType = MFT_RIGHTJUSTIFY | MFT_MENUBARBREAK;
    mii.wID = 8;
    mii.dwTypeData = const_cast<char*>("Help");
    ASSERT_TRUE(InsertMenuItemA(m.h, 1, TRUE, &mii));

    EXPECT_EQ(2, ZyPerevodMenu(m.h));
    EXPECT_EQ("Eins", tekst(m.h, 0));
    EXPECT_EQ("Hilfe", tekst(m.h, 1));
    EXPECT_TRUE(svojstva(m.h, 0).fType & MFT_RADIOCHECK);
    EXPECT_TRUE(svojstva(m.h, 1).fType & MFT_RIGHTJUSTIFY);
    EXPECT_TRUE(svojstva(m.h, 1).fType & MFT_MENUBARBREAK);
}

TEST_F(Menu, SameNewTextTwiceIsAppendedTwiceAndShownUnchanged) {
    ZyMenu m;
    AppendMenuA(m.h, MF_STRING, 1, "Exit");
    AppendMenuA(m.h, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(m.h, MF_STRING, 2, "Exit");
    EXPECT_EQ(3, ZyPerevodMenu(m.h));
    EXPECT_EQ("Exit", tekst(m.h, 0));
    EXPECT_EQ("Exit", tekst(m.h, 2));
    EXPECT_EQ(Zagolovok() + NovajaZapis("Exit") + NovajaZapis("Exit"), ChitatFajl(kFajlPerevoda));
    // From then on the first of the two entries serves both items.
    ZyMenu n;
    AppendMenuA(n.h, MF_STRING, 1, "Exit");
    ZyPerevodMenu(n.h);
    EXPECT_EQ(Zagolovok() + NovajaZapis("Exit") + NovajaZapis("Exit"), ChitatFajl(kFajlPerevoda));
}

TEST_F(Menu, LongItemTextIsReadAndTranslatedWhole) {
    const std::string dlinnyj(400, 'L');
    const std::string perevod(450, 'P');
    ASSERT_TRUE(ZapisatFajl(kFajlPerevoda, Zagolovok() + Zapis(dlinnyj, perevod)));
    ZyMenu m;
    AppendMenuA(m.h, MF_STRING, 1, dlinnyj.c_str());
    EXPECT_EQ(1, ZyPerevodMenu(m.h));
    EXPECT_EQ(perevod, tekst(m.h, 0));
}

TEST_F(Menu, EmptyNullAndDestroyedMenus) {
    EXPECT_EQ(0, ZyPerevodMenu(nullptr));
    ZyMenu pustoe;
    EXPECT_EQ(0, ZyPerevodMenu(pustoe.h));
    HMENU unichtozhennoe = CreatePopupMenu();
    DestroyMenu(unichtozhennoe);
    EXPECT_EQ(0, ZyPerevodMenu(unichtozhennoe));
    ZyMenu razdeliteli;
    AppendMenuA(razdeliteli.h, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(razdeliteli.h, MF_SEPARATOR, 0, nullptr);
    EXPECT_EQ(2, ZyPerevodMenu(razdeliteli.h));
    bool est = true;
    ChitatFajl(kFajlPerevoda, &est);
    EXPECT_FALSE(est); // nothing to translate: the file is not even made
}

TEST_F(Menu, MenuBarOfAWindowIsTranslated) {
    ASSERT_TRUE(ZapisatFajl(kFajlPerevoda, Zagolovok() + Zapis("&View", "&Ansicht")));
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_STRING, 1, "&View");
    HWND okno = CreateWindowA("STATIC", "menu test", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                              bar, nullptr, nullptr);
    ASSERT_NE(nullptr, okno);
    EXPECT_EQ(1, ZyPerevodMenu(GetMenu(okno)));
    DrawMenuBar(okno);
    EXPECT_EQ("&Ansicht", tekst(GetMenu(okno), 0));
    DestroyWindow(okno);
}

} // namespace
