// Scene objects on a live view window: clicks at pixel positions pick the object drawn there
// and move the focus with its notifications; the selection buffer grows; keys reach the
// focused object only while it is visible; Tab walks the keyboard objects.
#include "ZyPopadanija.h"
#include "ZyTestRaznica.h"
#include "ZyTestVid.h"

#include <cstdio>
#include <mutex>

using namespace Quorvel;

namespace {

std::mutex zamok;
std::vector<std::string> zhurnal;

// The journal so far, emptied.
std::vector<std::string> Vzjat() {
    std::lock_guard<std::mutex> l(zamok);
    return std::move(zhurnal);
}

// Object handler: journals its object, the message, wParam, lParam and the picked object.
template <unsigned long OBJ> int Obj(MSG* m) {
    char s[96];
    std::snprintf(s, sizeof s, "%lx %x w=%lx l=%lx im=%lx", OBJ, m->message,
                  static_cast<unsigned long>(m->wParam), static_cast<unsigned long>(m->lParam),
                  reinterpret_cast<ZYKGLKONTROL*>(m->hwnd)->VzImObj());
    std::lock_guard<std::mutex> l(zamok);
    zhurnal.push_back(s);
    return 1;
}

class Objekty : public zytest::Vid {
protected:
    void TearDown() override {
        Zamki(false, false);
        ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL* k, void*) {
            for (unsigned long o : {0x1111, 0x2222, 0x3333, 0x4444})
                k->VwklObjSoob(o, 0);
        }));
        Vzjat();
    }
};

} // namespace

TEST_F(Objekty, ClicksPickTheNearestObjectAndMoveTheFocus) {
    ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL* k, void*) {
        ZYS_OBJ_SOOB_iFYN o[] = {{0x2222, ZYM_FOKYS, Obj<0x2222>},
                                 {0x2222, ZYM_NE_FOKYS, Obj<0x2222>},
                                 {0x3333, ZYM_FOKYS, Obj<0x3333>},
                                 {0x3333, ZYM_NE_FOKYS, Obj<0x3333>}};
        k->VklObjSoob(o, 4);
    }));
    struct Klik {
        double fx, fy;
        unsigned long fokys;              // the focus afterwards
        std::vector<unsigned long> imena; // pickedNames afterwards
        std::vector<std::string> zh;      // focus notifications, in order
    };
    const std::vector<Klik> tablica = {
        {TSO_X_LEVO, TSO_Y_VERH, 0x2222, {1, 5, 0x2222}, {"2222 403 w=0 l=2222 im=2222"}},
        {TSO_X_PRAVO,
         TSO_Y_VERH,
         0x3333,
         {0x3333},
         {"2222 404 w=3333 l=2222 im=3333", "3333 403 w=2222 l=3333 im=3333"}},
        // Empty space: the focus goes, the names stay.
        {TSO_X_SEREDINA, TSO_Y_VERH, 0, {0x3333}, {"3333 404 w=0 l=3333 im=3333"}},
        {TSO_X_PRAVO, TSO_Y_NIZ, 0x6666, {0x6666}, {}},         // nearer than 0x5555
        {TSO_X_SEREDINA, TSO_Y_SEREDINA, 0x7777, {0x7777}, {}}, // equal depths: the first
        {TSO_X_LEVO, TSO_Y_VERH, 0x2222, {1, 5, 0x2222}, {"2222 403 w=7777 l=2222 im=2222"}},
    };
    for (std::size_t i = 0; i < tablica.size(); ++i) {
        const Klik& r = tablica[i];
        Mysh(WM_LBUTTONDOWN, r.fx, r.fy);
        const zytest::Snimok s = Sostojanie();
        EXPECT_EQ(r.fokys, s.fokys) << "click " << i;
        EXPECT_EQ(r.imena, s.imena) << "click " << i;
        const auto est = Vzjat();
        EXPECT_EQ(r.zh, est) << "click " << i << "\n" << Raznica(r.zh, est);
    }
    static unsigned long q[4];
    ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL* k, void*) {
        q[0] = k->VzKolIm(), q[1] = k->VzIm(0), q[2] = k->VzImObj(), q[3] = k->VzIm(3);
    }));
    EXPECT_EQ(3u, q[0]);
    EXPECT_EQ(1u, q[1]);
    EXPECT_EQ(0x2222u, q[2]);
    EXPECT_EQ(0u, q[3]) << "an index outside the list gives 0";
}

TEST_F(Objekty, MoreThan256WordsOfHitsGrowTheBuffer) {
    TsoVsRezhim(TSO_MNOGO_OBJEKTOV);
    static long prohodov = 0;
    ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL*, void*) { prohodov = -TsoKolVybora(); }));
    Mysh(WM_LBUTTONDOWN, 0.5, 0.5);
    ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL*, void*) { prohodov += TsoKolVybora(); }));
    // 300 records of 4 words: 256, 512 and 768 words overflow, then the size grows eightfold:
    // 6144 fit.
    EXPECT_EQ(4, prohodov);
    EXPECT_EQ(TSO_PERVOE_MNOGO + TSO_MNOGO - 1, Sostojanie().fokys) << "the nearest, drawn last";
    // The buffer is kept: the next click costs one pass.
    ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL*, void*) { prohodov = -TsoKolVybora(); }));
    Mysh(WM_LBUTTONDOWN, 0.5, 0.5);
    ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL*, void*) { prohodov += TsoKolVybora(); }));
    EXPECT_EQ(1, prohodov);
}

TEST(Popadanija, WalksFindTheNearestOrTheObjectAndStopAtARecordThatDoesNotFit) {
    constexpr std::size_t NET = ZY_NET_POPADANIJA;
    const struct {
        const char* chto;
        std::vector<unsigned int> slova;
        long popadanij;
        std::size_t blizhajshee;
        std::size_t objekt; // of the name 0xB
    } sluchai[] = {
        {"no hits", {0, 0, 0}, 0, NET, NET},
        {"one", {1, 5, 9, 0xB}, 1, 0, 0},
        {"the nearer second", {1, 9, 9, 0xA, 2, 5, 7, 0xC, 0xB}, 2, 4, 4},
        {"equal depths: the first", {1, 5, 9, 0xB, 1, 5, 5, 0xA}, 2, 0, 0},
        {"depths compared unsigned", {1, 0x80000000u, 0, 0xA, 1, 7, 7, 0xB}, 2, 4, 4},
        {"a record without names", {0, 5, 5}, 1, 0, NET},
        {"the first does not fit", {5, 1, 1, 0xB}, 1, NET, NET},
        {"a later one does not fit", {1, 5, 5, 0xA, 9, 1, 1, 0xB}, 2, NET, NET},
        {"the object before a bad one", {1, 5, 5, 0xB, 9, 1, 1, 0xB}, 2, NET, 0},
        {"more hits than records", {1, 5, 5, 0xB}, 3, NET, 0},
        {"no words", {}, 1, NET, NET},
    };
    for (const auto& s : sluchai) {
        EXPECT_EQ(s.blizhajshee,
                  ZyBlizhajsheePopadanie(s.slova.data(), s.slova.size(), s.popadanij))
            << s.chto;
        EXPECT_EQ(s.objekt, ZyPopadanieObjekta(s.slova.data(), s.slova.size(), s.popadanij, 0xB))
            << s.chto;
    }
}

TEST_F(Objekty, ObjectKeysReachTheFocusedObjectOnlyWhileVisible) {
    ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL* k, void*) {
        ZYS_OBJ_SOOB_iFYN o[] = {{0x3333, WM_KEYDOWN, Obj<0x3333>},
                                 {0x2222, WM_KEYDOWN, Obj<0x2222>},
                                 {0x2222, WM_CHAR, Obj<0x2222>}};
        k->VklObjSoob(o, 3);
    }));
    struct Shag {
        WPARAM kod;
        bool ext, numLock;
        long rezhim;
        bool bit24, dvizhenie; // bits 24 and 1 afterwards
        unsigned long fokys;
        std::vector<std::string> zh; // what the objects received
    };
    // The first key with Num Lock sets bit 24, focuses the smallest object and reaches no
    // object; the window thread translates the posted keys ('A' brings 'a'); a hidden object
    // gets nothing; Tab moves the focus and the key goes to the new focus; Num Lock off
    // navigates again.
    const std::vector<Shag> tablica = {
        {VK_RIGHT, true, true, TSO_OBYCHNYJ, true, false, 0x2222, {}},
        {'A',
         false,
         true,
         TSO_OBYCHNYJ,
         true,
         false,
         0x2222,
         {"2222 100 w=41 l=1 im=2222", "2222 102 w=61 l=1 im=2222"}},
        {'B', false, true, TSO_BEZ_2222, true, false, 0x2222, {}},
        {VK_TAB, false, true, TSO_BEZ_2222, true, false, 0x3333, {"3333 100 w=9 l=1 im=3333"}},
        {VK_RIGHT, true, false, TSO_OBYCHNYJ, false, true, 0x3333, {}},
    };
    for (std::size_t i = 0; i < tablica.size(); ++i) {
        const Shag& s = tablica[i];
        Zamki(s.numLock, false);
        TsoVsRezhim(s.rezhim);
        Klavisha(WM_KEYDOWN, s.kod, s.ext);
        const zytest::Snimok st = Sostojanie();
        EXPECT_EQ(s.bit24, st.bit[24]) << "key " << i;
        EXPECT_EQ(s.dvizhenie, st.bit[1]) << "key " << i;
        EXPECT_EQ(s.fokys, st.fokys) << "key " << i;
        const auto est = Vzjat();
        EXPECT_EQ(s.zh, est) << "key " << i << "\n" << Raznica(s.zh, est);
    }
}

TEST_F(Objekty, TabWalksTheKeyboardObjectsInNameOrderAndWraps) {
    static unsigned long q[6];
    ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL* k, void*) {
        ZYS_OBJ_SOOB_iFYN o[] = {{0x3333, WM_KEYDOWN, Obj<0x3333>},
                                 {0x2222, WM_KEYDOWN, Obj<0x2222>},
                                 {0x4444, WM_KEYUP, Obj<0x4444>},
                                 {0x1111, WM_LBUTTONUP, Obj<0x1111>}};
        k->VklObjSoob(o, 4);
        q[0] = k->VzMinObjKlav(), q[1] = k->VzMaxObjKlav(), q[2] = k->VzBolObjKlav(0x3333);
        q[3] = k->VzBolObjKlav(0x4444), q[4] = k->VzMenObjKlav(0x2222), q[5] = k->VzMenObjKlav(0);
    }));
    const std::vector<unsigned long> ozhidaem = {0x2222, 0x4444, 0x4444, 0x4444, 0x2222, 0};
    EXPECT_EQ(ozhidaem, std::vector<unsigned long>(q, q + 6));

    struct Shag {
        WPARAM kod;
        bool shift, povtor;
        unsigned long fokys;
    };
    const std::vector<Shag> tablica = {
        {'A', false, false, 0x2222},    {VK_TAB, false, false, 0x3333},
        {VK_TAB, false, false, 0x4444}, {VK_TAB, false, false, 0x2222}, // wraps
        {VK_TAB, true, false, 0x4444},                                  // Shift+Tab wraps
        {VK_TAB, true, false, 0x3333},  {VK_TAB, false, true, 0x4444},  // Tab acts on repeat
    };
    Zamki(true, false);
    for (std::size_t i = 0; i < tablica.size(); ++i) {
        const Shag& s = tablica[i];
        ASSERT_TRUE(!s.shift || Modifikator(VK_SHIFT, true)) << "Shift could not be held";
        Klavisha(WM_KEYDOWN, s.kod, false, s.povtor);
        EXPECT_EQ(s.fokys, Sostojanie().fokys) << "key " << i;
        ASSERT_TRUE(!s.shift || Modifikator(VK_SHIFT, false));
    }
}
