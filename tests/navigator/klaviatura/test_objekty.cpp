// Scene objects on a live view window: clicks at pixel positions pick the object drawn there,
// the focus follows with its notifications, the selection buffer grows, keys reach the
// focused object only while it is visible, and Tab walks the keyboard objects.
#include "ZyTestRaznica.h"
#include "ZyTestVid.h"

#include <cstdio>
#include <mutex>

using namespace Quorvel;
using zytest::Snimok;

namespace {

std::mutex zamok;
std::vector<std::string> zhurnal;

void Zapisat(const std::string& s) {
    std::lock_guard<std::mutex> l(zamok);
    zhurnal.push_back(s);
}
// The journal so far, emptied.
std::vector<std::string> Vzjat() {
    std::lock_guard<std::mutex> l(zamok);
    std::vector<std::string> r;
    r.swap(zhurnal);
    return r;
}

std::string Hex(unsigned long v) {
    char s[16];
    std::snprintf(s, sizeof s, "%lx", v);
    return s;
}

// An object handler journals the object it belongs to (the handler's own), the message and
// its parameters, and the innermost picked name.
template <unsigned long OBJ> int Obj(MSG* m) {
    auto* k = reinterpret_cast<ZYKGLKONTROL*>(m->hwnd);
    Zapisat(Hex(OBJ) + " " + Hex(m->message) + " w=" + Hex(static_cast<unsigned long>(m->wParam)) +
            " l=" + Hex(static_cast<unsigned long>(m->lParam)) + " im=" + Hex(k->VzImObj()));
    return 1;
}

// The name queries of the controller, read on its thread.
struct Imena {
    unsigned long kol, im0, im1, im2, vne, obj;
};

class Objekty : public zytest::Vid {
protected:
    void TearDown() override {
        Zamki(false, false);
        ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL* k, void*) {
            for (unsigned long o : {0x1111ul, 0x2222ul, 0x3333ul, 0x4444ul, 0x6666ul})
                k->VwklObjSoob(o, 0);
        }));
        Vzjat();
    }
    static Imena Zaprosit() {
        Imena i{};
        EXPECT_TRUE(Vypolnit(
            +[](ZYKGLKONTROL* k, void* arg) {
                Imena& r = *static_cast<Imena*>(arg);
                r = {k->VzKolIm(),          k->VzIm(0),  k->VzIm(1), k->VzIm(2),
                     k->VzIm(k->VzKolIm()), k->VzImObj()};
            },
            &i));
        return i;
    }
    static void KlikV(double fx, double fy, UINT soob = WM_LBUTTONDOWN) {
        const POINT p = Piksel(fx, fy);
        Klik(soob, p.x, p.y);
    }
};

} // namespace

TEST_F(Objekty, ClicksPickTheNearestObjectAndMoveTheFocus) {
    ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL* k, void*) {
        ZYS_OBJ_SOOB_iFYN o[] = {{0x2222, ZYM_FOKYS, Obj<0x2222>},
                                 {0x2222, ZYM_NE_FOKYS, Obj<0x2222>},
                                 {0x3333, ZYM_FOKYS, Obj<0x3333>},
                                 {0x3333, ZYM_NE_FOKYS, Obj<0x3333>},
                                 {0x6666, WM_LBUTTONDOWN, Obj<0x6666>}};
        k->VklObjSoob(o, 5);
    }));
    Vzjat();
    struct Klik {
        const char* chto;
        double fx, fy;
        unsigned long fokys;              // the focus after the click
        std::vector<unsigned long> imena; // pickedNames after it
        std::vector<std::string> zhurnal; // notifications and object handlers, in order
    };
    const std::vector<Klik> tablica = {
        {"0x2222 under the name stack 1, 5",
         TSO_X_2222,
         TSO_Y_VERH,
         0x2222,
         {1, 5, 0x2222},
         {"2222 403 w=0 l=2222 im=2222"}},
        {"0x3333",
         TSO_X_3333,
         TSO_Y_VERH,
         0x3333,
         {0x3333},
         {"2222 404 w=3333 l=2222 im=3333", "3333 403 w=2222 l=3333 im=3333"}},
        {"empty space clears the focus and keeps the names",
         TSO_X_PUSTO,
         TSO_Y_VERH,
         0,
         {0x3333},
         {"3333 404 w=0 l=3333 im=3333"}},
        {"0x6666 in front of 0x5555",
         TSO_X_PARA,
         TSO_Y_NIZ,
         0x6666,
         {0x6666},
         {"6666 201 w=1 l=" +
          Hex(static_cast<unsigned long>(
              MAKELPARAM(Piksel(TSO_X_PARA, TSO_Y_NIZ).x, Piksel(TSO_X_PARA, TSO_Y_NIZ).y))) +
          " im=6666"}},
        {"equal depths: the earlier record", TSO_X_NICHJA, TSO_Y_SEREDINA, 0x7777, {0x7777}, {}},
        {"0x4444", TSO_X_4444, TSO_Y_NIZ, 0x4444, {0x4444}, {}},
    };
    for (const Klik& r : tablica) {
        SCOPED_TRACE(r.chto);
        KlikV(r.fx, r.fy);
        const Snimok s = Sostojanie();
        EXPECT_EQ(r.fokys, s.fokys);
        EXPECT_EQ(r.imena, s.imena);
        const auto est = Vzjat();
        EXPECT_EQ(r.zhurnal, est) << Raznica(r.zhurnal, est);
    }

    // The name queries after a pick of the stack 1, 5, 0x2222.
    KlikV(TSO_X_2222, TSO_Y_VERH);
    const Imena i = Zaprosit();
    EXPECT_EQ(3u, i.kol);
    EXPECT_EQ(1u, i.im0);
    EXPECT_EQ(5u, i.im1);
    EXPECT_EQ(0x2222u, i.im2);
    EXPECT_EQ(0u, i.vne) << "an index outside the list gives 0";
    EXPECT_EQ(0x2222u, i.obj);
}

TEST_F(Objekty, MouseMessagesReachTheObjectUnderTheCursor) {
    ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL* k, void*) {
        ZYS_OBJ_SOOB_iFYN o[] = {{0x4444, WM_LBUTTONUP, Obj<0x4444>},
                                 {0x4444, WM_MOUSEMOVE, Obj<0x4444>}};
        k->VklObjSoob(o, 2);
    }));
    const POINT p4 = Piksel(TSO_X_4444, TSO_Y_NIZ), p3 = Piksel(TSO_X_3333, TSO_Y_VERH);
    Klik(WM_LBUTTONUP, p3.x, p3.y);
    Klik(WM_MOUSEMOVE, p4.x, p4.y);
    Klik(WM_LBUTTONUP, p4.x, p4.y);
    ASSERT_TRUE(Vypolnit(nullptr));
    const std::string l = Hex(static_cast<unsigned long>(MAKELPARAM(p4.x, p4.y)));
    const std::vector<std::string> ozhidaem = {"4444 200 w=1 l=" + l + " im=4444",
                                               "4444 202 w=1 l=" + l + " im=4444"};
    const auto est = Vzjat();
    EXPECT_EQ(ozhidaem, est) << Raznica(ozhidaem, est);
}

TEST_F(Objekty, MoreThan256WordsOfHitsGrowTheBuffer) {
    TsoVsRezhim(TSO_MNOGO_OBJEKTOV);
    static long do_ = 0, posle = 0;
    ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL*, void*) { do_ = TsoKolVybora(); }));
    KlikV(0.5, 0.5);
    ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL*, void*) { posle = TsoKolVybora(); }));
    const Snimok s = Sostojanie();
    // 300 records of 4 words: 1200 words, so 256, 512, 768 and 1024 overflow and 1280 fits.
    EXPECT_EQ(5, posle - do_) << "selection passes";
    EXPECT_EQ(TSO_PERVOE_MNOGO + TSO_MNOGO - 1, s.fokys) << "the nearest is the last drawn";
    EXPECT_EQ(std::vector<unsigned long>{TSO_PERVOE_MNOGO + TSO_MNOGO - 1}, s.imena);
}

TEST_F(Objekty, ObjectKeysReachTheFocusedObjectOnlyWhileVisible) {
    ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL* k, void*) {
        ZYS_OBJ_SOOB_iFYN o[] = {{0x3333, WM_KEYDOWN, Obj<0x3333>},
                                 {0x2222, WM_KEYDOWN, Obj<0x2222>},
                                 {0x2222, WM_CHAR, Obj<0x2222>}};
        k->VklObjSoob(o, 3);
    }));
    struct Shag {
        const char* chto;
        UINT soob;
        WPARAM kod;
        bool ext, numLock;
        long rezhim;                 // the scene's layout
        bool bit24, dvizhenie;       // bit 24 and bit 1 afterwards
        unsigned long fokys;         // the focus afterwards
        std::vector<std::string> zh; // what the objects received
    };
    const std::string kd = " 100 w=", im2 = " im=2222";
    const long VSE = TSO_OBYCHNYJ, BEZ = TSO_BEZ_2222;
    // The window thread translates the posted keys as it delivers them: 'A' also brings 'a'.
    // clang-format off
    const std::vector<Shag> tablica = {
        {"the first key with Num Lock only sets bit 24 and focuses the smallest object",
         WM_KEYDOWN, VK_RIGHT, true, true, VSE, true, false, 0x2222,
         {"2222" + kd + "27 l=1000001" + im2}},
        {"later keys reach only the focused object",
         WM_KEYDOWN, 'A', false, true, VSE, true, false, 0x2222,
         {"2222" + kd + "41 l=1" + im2, "2222 102 w=61 l=1" + im2}},
        {"characters too",
         WM_CHAR, '7', false, true, VSE, true, false, 0x2222, {"2222 102 w=37 l=1" + im2}},
        {"not while the object is hidden",
         WM_KEYDOWN, 'B', false, true, BEZ, true, false, 0x2222, {}},
        {"Tab moves the focus, the key goes to the new focus",
         WM_KEYDOWN, VK_TAB, false, true, BEZ, true, false, 0x3333, {"3333" + kd + "9 l=1 im=3333"}},
        {"Num Lock off: navigation again",
         WM_KEYDOWN, VK_RIGHT, true, false, VSE, false, true, 0x3333, {}},
    };
    // clang-format on
    for (const Shag& s : tablica) {
        SCOPED_TRACE(s.chto);
        Zamki(s.numLock, false);
        TsoVsRezhim(s.rezhim);
        if (s.soob == WM_CHAR)
            Poslat(WM_CHAR, s.kod, 1);
        else
            Klavisha(s.soob, s.kod, s.ext);
        const Snimok st = Sostojanie();
        EXPECT_EQ(s.bit24, st.bit[24]);
        EXPECT_EQ(s.dvizhenie, st.bit[1]);
        EXPECT_EQ(s.fokys, st.fokys);
        EXPECT_EQ("", st.tekst) << "no typed number in object-key mode";
        const auto est = Vzjat();
        EXPECT_EQ(s.zh, est) << Raznica(s.zh, est);
    }
    Klavisha(WM_KEYUP, VK_RIGHT, true);
}

TEST_F(Objekty, TabWalksTheKeyboardObjectsInNameOrderAndWraps) {
    struct Zaprosy {
        unsigned long min, max, bol3, bol4, men2, men0, men4, bol0;
    } z{};
    ASSERT_TRUE(Vypolnit(
        +[](ZYKGLKONTROL* k, void* arg) {
            ZYS_OBJ_SOOB_iFYN o[] = {{0x3333, WM_KEYDOWN, Obj<0x3333>},
                                     {0x2222, WM_KEYDOWN, Obj<0x2222>},
                                     {0x4444, WM_KEYUP, Obj<0x4444>},
                                     {0x1111, WM_LBUTTONUP, Obj<0x1111>}};
            k->VklObjSoob(o, 4);
            *static_cast<Zaprosy*>(arg) = {k->VzMinObjKlav(),       k->VzMaxObjKlav(),
                                           k->VzBolObjKlav(0x3333), k->VzBolObjKlav(0x4444),
                                           k->VzMenObjKlav(0x2222), k->VzMenObjKlav(0),
                                           k->VzMenObjKlav(0x4444), k->VzBolObjKlav(0)};
        },
        &z));
    EXPECT_EQ(0x2222u, z.min);
    EXPECT_EQ(0x4444u, z.max);
    EXPECT_EQ(0x4444u, z.bol3);
    EXPECT_EQ(0x4444u, z.bol4) << "none above: the name itself";
    EXPECT_EQ(0x2222u, z.men2) << "none below: the name itself";
    EXPECT_EQ(0u, z.men0);
    EXPECT_EQ(0x3333u, z.men4);
    EXPECT_EQ(0x2222u, z.bol0) << "0x1111 has no keyboard handler";

    struct Shag {
        WPARAM kod;
        bool shift, povtor;
        unsigned long fokys;
    };
    const std::vector<Shag> tablica = {
        {'A', false, false, 0x2222}, // Num Lock's first key focuses the smallest
        {VK_TAB, false, false, 0x3333}, {VK_TAB, false, false, 0x4444},
        {VK_TAB, false, false, 0x2222}, // wraps to the smallest
        {VK_TAB, true, false, 0x4444},  // Shift+Tab wraps to the largest
        {VK_TAB, true, false, 0x3333},  {VK_TAB, false, true, 0x4444}, // Tab acts on repeat
    };
    Zamki(true, false);
    for (std::size_t i = 0; i < tablica.size(); ++i) {
        const Shag& s = tablica[i];
        SCOPED_TRACE("row " + std::to_string(i));
        if (s.shift) {
            const auto shift = Uderzhat(VK_SHIFT);
            ASSERT_TRUE(shift->ok()) << "Shift could not be held";
            Klavisha(WM_KEYDOWN, s.kod, false, s.povtor);
            EXPECT_EQ(s.fokys, Sostojanie().fokys);
        } else {
            Klavisha(WM_KEYDOWN, s.kod, false, s.povtor);
            EXPECT_EQ(s.fokys, Sostojanie().fokys);
        }
    }
}
