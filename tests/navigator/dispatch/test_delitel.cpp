// Table dispatchers: listed messages and commands reach their handlers; unlisted ones get the
// default processing chosen by the first set bit of the table's flags.
#include "ZyKGLOrvanta2.h"
#include "ZyTestOkno.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#if defined(__i386__)
static_assert(sizeof(DispatchTable) == 16, "the dispatch table of 16 bytes");
static_assert(sizeof(ZYS_DELITEL_PARA) == 8, "pairs of 8 bytes");
static_assert(sizeof(ZYS_DELITEL_KOMANDA) == 6, "packed command entries of 6 bytes");
#endif

namespace {

// One call as a handler or procedure saw it.
struct Vyzov {
    const char* kto;
    HWND okno;
    UINT soob;
    WPARAM w;
    LPARAM l;
};
std::vector<Vyzov> vyzovy;

LRESULT ObrA(HWND h, UINT m, WPARAM w, LPARAM l) {
    vyzovy.push_back({"A", h, m, w, l});
    return 11;
}
LRESULT ObrB(HWND h, UINT m, WPARAM w, LPARAM l) {
    vyzovy.push_back({"B", h, m, w, l});
    return 22;
}
LRESULT CALLBACK Prezhnjaja(HWND h, UINT m, WPARAM w, LPARAM l) {
    vyzovy.push_back({"prev", h, m, w, l});
    return 33;
}
LRESULT KomandaA(HWND h, WORD id, WORD kod, LPARAM l) {
    vyzovy.push_back({"cmdA", h, id, kod, l});
    return 44;
}
LRESULT KomandaB(HWND h, WORD id, WORD kod, LPARAM l) {
    vyzovy.push_back({"cmdB", h, id, kod, l});
    return 55;
}

// Messages the dialog procedure received from WM_USER on.
std::vector<UINT> dialogu;
INT_PTR CALLBACK ProcDialoga(HWND, UINT m, WPARAM, LPARAM) {
    if (m >= WM_USER) dialogu.push_back(m);
    return m == WM_INITDIALOG;
}

// A modeless dialog from an in-memory template, destroyed with the object.
class Dialog {
public:
    Dialog() {
        struct {
            DLGTEMPLATE t;
            WORD menju, klass, zagolovok;
        } shablon = {};
        shablon.t.style = WS_POPUP | WS_CAPTION;
        shablon.t.cx = 80;
        shablon.t.cy = 40;
        hwnd_ = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &shablon.t, nullptr,
                                           ProcDialoga, 0);
    }
    ~Dialog() { DestroyWindow(hwnd_); }
    HWND hwnd() const { return hwnd_; }

private:
    HWND hwnd_;
};

// The frame procedure of the MDI frame of these tests.
LRESULT CALLBACK ProcRamki(HWND h, UINT m, WPARAM w, LPARAM l) {
    return DefFrameProcA(h, nullptr, m, w, l);
}

// An MDI frame with its client and two children.
class Mdi {
public:
    Mdi() : ramka(0, 0, 300, 200, WS_OVERLAPPEDWINDOW, ProcRamki, "Ramka") {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefMDIChildProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ZyTestMdiRebenok";
        RegisterClassA(&wc);
        CLIENTCREATESTRUCT ccs = {nullptr, 1000};
        klient = CreateWindowA("MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 300, 200,
                               ramka.hwnd(), reinterpret_cast<HMENU>(1), wc.hInstance, &ccs);
        rebenok1 = CreateMDIWindowA(wc.lpszClassName, "r1", WS_VISIBLE, 0, 0, 90, 60, klient,
                                    wc.hInstance, 0);
        rebenok2 = CreateMDIWindowA(wc.lpszClassName, "r2", WS_VISIBLE, 0, 0, 90, 60, klient,
                                    wc.hInstance, 0);
    }
    HWND Aktivnyj() const {
        return reinterpret_cast<HWND>(SendMessageA(klient, WM_MDIGETACTIVE, 0, 0));
    }

    zytest::Okno ramka;
    HWND klient = nullptr, rebenok1 = nullptr, rebenok2 = nullptr;
};

// A table over pairs or command entries.
DispatchTable Tablica(unsigned long flagi, void* elementy, long kol, WNDPROC prezhnjaja = nullptr) {
    return DispatchTable{flagi, kol, elementy, prezhnjaja};
}

class Delitel : public testing::Test {
protected:
    void SetUp() override {
        vyzovy.clear();
        dialogu.clear();
    }
    zytest::Okno okno{0, 0, 96, 64, WS_OVERLAPPEDWINDOW, DefWindowProcA, "Zagolovok"};
};

} // namespace

TEST_F(Delitel, FirstMatchingPairHandlesTheMessage) {
    ZYS_DELITEL_PARA pary[] = {{WM_USER + 1, ObrA}, {WM_USER + 2, ObrB}, {WM_USER + 1, ObrB}};
    DispatchTable t = Tablica(0, pary, 3);
    EXPECT_EQ(11, ZyDelitelWM(&t, okno.hwnd(), WM_USER + 1, 5, 6));
    EXPECT_EQ(22, ZyDelitelWM(&t, okno.hwnd(), WM_USER + 2, 7, 8));
    ASSERT_EQ(2u, vyzovy.size());
    EXPECT_STREQ("A", vyzovy[0].kto);
    EXPECT_EQ(okno.hwnd(), vyzovy[0].okno);
    EXPECT_EQ(static_cast<UINT>(WM_USER + 1), vyzovy[0].soob);
    EXPECT_EQ(5u, vyzovy[0].w);
    EXPECT_EQ(6, vyzovy[0].l);
    EXPECT_STREQ("B", vyzovy[1].kto);
}

TEST_F(Delitel, CountLimitsTheWalk) {
    ZYS_DELITEL_PARA pary[] = {{WM_USER + 1, ObrA}, {WM_USER + 2, ObrB}};
    DispatchTable t = Tablica(ZYD_CALLWINDOWPROC, pary, 1, Prezhnjaja);
    EXPECT_EQ(33, ZyDelitelWM(&t, okno.hwnd(), WM_USER + 2, 0, 0))
        << "the second pair is not listed";
    t.count = -3;
    EXPECT_EQ(33, ZyDelitelWM(&t, okno.hwnd(), WM_USER + 1, 0, 0))
        << "a negative count lists nothing";
    t.count = 2;
    t.items = nullptr;
    EXPECT_EQ(33, ZyDelitelWM(&t, okno.hwnd(), WM_USER + 1, 0, 0)) << "no items, nothing listed";
}

TEST_F(Delitel, UnlistedMessagesGetTheFirstDefaultWhoseBitIsSet) {
    char tekst[32] = "";
    const LPARAM buf = reinterpret_cast<LPARAM>(tekst);
    ZYS_DELITEL_PARA para[] = {{WM_USER + 1, ObrA}};

    DispatchTable t = Tablica(ZYD_DEFWINDOWPROC, para, 1);
    EXPECT_EQ(9, ZyDelitelWM(&t, okno.hwnd(), WM_GETTEXT, sizeof tekst, buf));
    EXPECT_STREQ("Zagolovok", tekst);

    std::memset(tekst, 0, sizeof tekst);
    t.flags = 0;
    EXPECT_EQ(0, ZyDelitelWM(&t, okno.hwnd(), WM_GETTEXT, sizeof tekst, buf));
    EXPECT_STREQ("", tekst) << "no default processing at all";

    t.flags = ZYD_DEFFRAMEPROC; // without an MDI client it is the window default
    EXPECT_EQ(9, ZyDelitelWM(&t, okno.hwnd(), WM_GETTEXT, sizeof tekst, buf));

    t.flags = ZYD_CALLWINDOWPROC;
    t.prevProc = Prezhnjaja;
    EXPECT_EQ(33, ZyDelitelWM(&t, okno.hwnd(), WM_USER + 9, 3, 4));
    ASSERT_EQ(1u, vyzovy.size());
    EXPECT_STREQ("prev", vyzovy[0].kto);
    EXPECT_EQ(static_cast<UINT>(WM_USER + 9), vyzovy[0].soob);
    EXPECT_EQ(3u, vyzovy[0].w);
    EXPECT_EQ(4, vyzovy[0].l);

    t.prevProc = nullptr;
    EXPECT_EQ(0, ZyDelitelWM(&t, okno.hwnd(), WM_GETTEXT, sizeof tekst, buf))
        << "0x10 without a saved procedure";

    t.flags = ZYD_DEFWINDOWPROC | ZYD_CALLWINDOWPROC;
    t.prevProc = Prezhnjaja;
    EXPECT_EQ(9, ZyDelitelWM(&t, okno.hwnd(), WM_GETTEXT, sizeof tekst, buf)) << "0x01 wins";
    EXPECT_EQ(1u, vyzovy.size());
}

TEST_F(Delitel, DialogDefaultReachesTheDialogProcedure) {
    Dialog d;
    ASSERT_NE(nullptr, d.hwnd());
    DispatchTable t = Tablica(ZYD_DEFDLGPROC, nullptr, 0);
    ZyDelitelDef(&t, d.hwnd(), WM_USER + 7, 1, 2);
    ASSERT_EQ(1u, dialogu.size());
    EXPECT_EQ(static_cast<UINT>(WM_USER + 7), dialogu[0]);

    t.flags = ZYD_DEFWINDOWPROC | ZYD_DEFDLGPROC;
    ZyDelitelDef(&t, d.hwnd(), WM_USER + 8, 1, 2);
    EXPECT_EQ(1u, dialogu.size()) << "DefWindowProcA does not call the dialog procedure";

    t.flags = ZYD_DEFDLGPROC | ZYD_DEFFRAMEPROC | ZYD_CALLWINDOWPROC;
    t.prevProc = Prezhnjaja;
    ZyDelitelDef(&t, d.hwnd(), WM_USER + 9, 1, 2);
    EXPECT_EQ(2u, dialogu.size());
    EXPECT_TRUE(vyzovy.empty());
}

TEST_F(Delitel, MdiChildDefaultActivatesTheChildTheFrameDefaultDoesNot) {
    Mdi mdi;
    ASSERT_NE(nullptr, mdi.rebenok2);
    ASSERT_EQ(mdi.rebenok2, mdi.Aktivnyj()) << "the last child created is active";
    DispatchTable t = Tablica(ZYD_DEFFRAMEPROC | ZYD_DEFMDICHILDPROC, nullptr, 0);
    ZyDelitelDef(&t, mdi.rebenok1, WM_CHILDACTIVATE, 0, 0);
    EXPECT_EQ(mdi.rebenok2, mdi.Aktivnyj()) << "0x04 wins over 0x08";
    t.flags = ZYD_DEFMDICHILDPROC | ZYD_CALLWINDOWPROC;
    t.prevProc = Prezhnjaja;
    ZyDelitelDef(&t, mdi.rebenok1, WM_CHILDACTIVATE, 0, 0);
    EXPECT_EQ(mdi.rebenok1, mdi.Aktivnyj());
    EXPECT_TRUE(vyzovy.empty());
}

TEST_F(Delitel, CommandsGoByIdentifierWithTheNotificationCode) {
    ZYS_DELITEL_KOMANDA komandy[] = {{101, KomandaA}, {102, KomandaB}, {101, KomandaB}};
    DispatchTable t = Tablica(ZYD_CALLWINDOWPROC, komandy, 3, Prezhnjaja);
    EXPECT_EQ(44, ZyDelitelWMCommand(&t, okno.hwnd(), MAKEWPARAM(101, 7), 0x55));
    EXPECT_EQ(55, ZyDelitelWMCommand(&t, okno.hwnd(), MAKEWPARAM(102, 0), 0));
    ASSERT_EQ(2u, vyzovy.size());
    EXPECT_STREQ("cmdA", vyzovy[0].kto);
    EXPECT_EQ(okno.hwnd(), vyzovy[0].okno);
    EXPECT_EQ(101u, vyzovy[0].soob) << "identifier";
    EXPECT_EQ(7u, vyzovy[0].w) << "notification code";
    EXPECT_EQ(0x55, vyzovy[0].l);
    EXPECT_STREQ("cmdB", vyzovy[1].kto);
}

TEST_F(Delitel, UnlistedCommandGoesToTheDefaultAsWmCommandUnchanged) {
    ZYS_DELITEL_KOMANDA komandy[] = {{101, KomandaA}};
    DispatchTable t = Tablica(ZYD_CALLWINDOWPROC, komandy, 1, Prezhnjaja);
    const WPARAM w = MAKEWPARAM(103, 9);
    EXPECT_EQ(33, ZyDelitelWMCommand(&t, okno.hwnd(), w, 0x77));
    ASSERT_EQ(1u, vyzovy.size());
    EXPECT_STREQ("prev", vyzovy[0].kto);
    EXPECT_EQ(static_cast<UINT>(WM_COMMAND), vyzovy[0].soob);
    EXPECT_EQ(w, vyzovy[0].w);
    EXPECT_EQ(0x77, vyzovy[0].l);

    t.flags = 0;
    EXPECT_EQ(0, ZyDelitelWMCommand(&t, okno.hwnd(), w, 0x77));
}

TEST_F(Delitel, NullTableHandlesNothing) {
    char tekst[16] = "";
    EXPECT_EQ(0, ZyDelitelWM(nullptr, okno.hwnd(), WM_GETTEXT, sizeof tekst,
                             reinterpret_cast<LPARAM>(tekst)));
    EXPECT_EQ(0, ZyDelitelWMCommand(nullptr, okno.hwnd(), 101, 0));
    EXPECT_EQ(0, ZyDelitelDef(nullptr, okno.hwnd(), WM_GETTEXT, 0, 0));
}
