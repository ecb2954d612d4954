// The navigator's window set, live: grid positions and sizes, the creation messages answered on
// the controller thread, the parent's subclass and its messages, focus and lock keys, the
// auxiliary window requests, failure paths, and the end of every thread with its tones.
#include "ZyTestGdi.h"
#include "ZyTestImport.h"
#include "ZyTestNavigatora.h"
#include "ZyTestSboi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

using namespace Quorvel;

namespace {

// A view window's rectangle in its parent's client coordinates (screen without a parent).
RECT Mesto(HWND v) {
    RECT r{};
    GetWindowRect(v, &r);
    if (HWND p = GetParent(v)) MapWindowPoints(HWND_DESKTOP, p, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Expects the rectangle (x, y, w, h).
void EstMesto(HWND v, long x, long y, long w, long h, const char* chto) {
    const RECT r = Mesto(v);
    EXPECT_EQ(x, r.left) << chto;
    EXPECT_EQ(y, r.top) << chto;
    EXPECT_EQ(w, r.right - r.left) << chto;
    EXPECT_EQ(h, r.bottom - r.top) << chto;
}

// The window's title.
std::string Zagolovok(HWND o) {
    char b[128] = {};
    GetWindowTextA(o, b, sizeof b);
    return b;
}

const std::string KLASS = "ZyKGLOrvanta2 in OpenGL Quorvel\x99 V2.0";

class Pusk : public zyt::ZhivojNavigator {};

// What the scene's constructor made for drawing (recorded on the controller thread).
struct Risovanie {
    HGLRC gl;
    HPALETTE palitra;
    HFONT shrift;
} risovanie{};
void ZapomnitRisovanie(int fyn, ZYKGLKONTROL* k) {
    if (fyn == ZYT_KONSTR) risovanie = {k->KontekstGL, k->Palitra, k->Shrift};
}

} // namespace

TEST_F(Pusk, OneWindowFillsTheHostAndItsCreationRunsOnTheControllerThread) {
    zyt::Hozjain host(784, 441);
    ZYKGLORVANTA2 nav;
    const zyt::Imena a("ZyTestScenaA.dll");
    SGL_SCENA_PARAM sp{a.Adresa(), 0x1234};
    ASSERT_EQ(1u, nav.Pusk(host.okno, 1, nullptr, &sp));
    ASSERT_NE(nullptr, nav.controllers);
    ZYKGLKONTROL& k = nav.controllers[0];
    const HWND v = k.hwnd;
    ASSERT_TRUE(IsWindow(v));
    EstMesto(v, 0, 0, 784, 441, "the single view");
    EXPECT_EQ(KLASS, zytest::KlassOkna(v));
    EXPECT_EQ(KLASS, Zagolovok(v));
    EXPECT_EQ(host.okno, GetParent(v));
    EXPECT_EQ(0, GetDlgCtrlID(v));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&nav), GetWindowLongPtrA(v, GWLP_USERDATA));
    EXPECT_EQ(0, GetWindowWord(v, 4));
    EXPECT_EQ(WS_CHILD | WS_VISIBLE | WS_BORDER,
              GetWindowLongA(v, GWL_STYLE) & (WS_CHILD | WS_VISIBLE | WS_BORDER));

    ASSERT_TRUE(IsWindow(k.desHwnd));
    EXPECT_EQ(v, GetParent(k.desHwnd));
    EXPECT_EQ("ZyGLDes", Zagolovok(k.desHwnd));
    EXPECT_EQ(1, GetDlgCtrlID(k.desHwnd));

    EXPECT_EQ(&nav, GetPropA(host.okno, "ZYKGL"));
    EXPECT_NE(nullptr, nav.oldParentProc);
    EXPECT_EQ(0x1234u, k.sceneParam);
    EXPECT_EQ(1u, k.windowCount);
    EXPECT_EQ(&nav.parentRegion, k.pParentRegion);
    EXPECT_EQ(&nav.parentRegionAux, k.pParentRegionAux);
    EXPECT_EQ(1, k.threadAlive);

    // The constructor ran once, on the controller thread, before Pusk returned.
    const auto konstr = zyt::Zapisi(ZYT_KONSTR);
    ASSERT_EQ(1u, konstr.size());
    EXPECT_EQ(k.threadId, konstr[0].potok);
    EXPECT_EQ("ZyTestScenaA.dll", zyt::ImjaModulja(konstr[0].modul));

    // The first paint: frame and end of frame on the controller thread, with the context.
    ASSERT_TRUE(zyt::Kachat([] { return ZytKol(ZYT_FINAL) >= 1; }));
    const auto pokaz = zyt::Zapisi(ZYT_POKAZ);
    ASSERT_FALSE(pokaz.empty());
    EXPECT_EQ(k.threadId, pokaz[0].potok);
    EXPECT_TRUE(pokaz[0].kontekst);
    EXPECT_TRUE(zyt::Kachat([&] { return !k.Flagi.Test(ZYBIT_POKAZAT, ZYBIT_POKAZAT); }))
        << "the show request is done at the first paint";
    EXPECT_TRUE(zakryvatel.Okna().empty()) << zakryvatel.Tekst();
}

TEST_F(Pusk, FourWindowsOnTheGrid) {
    zyt::Hozjain host(784, 441);
    ZYKGLORVANTA2 nav;
    ASSERT_EQ(1u, nav.Pusk(host.okno, 4, nullptr, nullptr));
    const long x[4] = {0, 390, 0, 390}, y[4] = {0, 0, 220, 220};
    for (int i = 0; i < 4; ++i) {
        const HWND v = nav.controllers[i].hwnd;
        EstMesto(v, x[i], y[i], 390, 220, ("view " + std::to_string(i)).c_str());
        EXPECT_EQ(i, GetDlgCtrlID(v));
        EXPECT_EQ(i, GetWindowWord(v, 4));
        EXPECT_EQ(static_cast<unsigned long>(i), nav.controllers[i].index);
    }
    EXPECT_TRUE(zakryvatel.Okna().empty()) << zakryvatel.Tekst();
}

TEST_F(Pusk, OneWindowWithoutParentOnTheDesktop) {
    ZYKGLORVANTA2 nav;
    ASSERT_EQ(1u, nav.Pusk(nullptr, 0, nullptr, nullptr)); // count 0 behaves as 1
    EXPECT_EQ(1u, nav.windowCount);
    const HWND v = nav.controllers[0].hwnd;
    EstMesto(v, 0, 0, 590, 332, "desktop view");
    const LONG stil = GetWindowLongA(v, GWL_STYLE);
    EXPECT_EQ(0, stil & WS_CHILD);
    EXPECT_EQ(WS_OVERLAPPEDWINDOW, stil & WS_OVERLAPPEDWINDOW);
    EXPECT_EQ(nullptr, GetParent(v));
    EXPECT_EQ(nullptr, nav.oldParentProc);
    // Created hidden, shown by the first paint.
    EXPECT_TRUE(zyt::Kachat([&] { return IsWindowVisible(v) != FALSE; }));
}

TEST_F(Pusk, CallerDescribedWindowsKeepTheirPlaces) {
    {
        SGL_OKNO okna[2] = {
            {0, "Vid 1", WS_CHILD | WS_OVERLAPPED | WS_CAPTION, 50, 60, 300, 200},
            {WS_EX_TOOLWINDOW, nullptr, WS_POPUP | WS_BORDER, 400, 60, 200, 150},
        };
        ZYKGLORVANTA2 nav;
        ASSERT_EQ(1u, nav.Pusk(nullptr, 2, okna, nullptr));
        const HWND v0 = nav.controllers[0].hwnd, v1 = nav.controllers[1].hwnd;
        EstMesto(v0, 50, 60, 300, 200, "view 0");
        EstMesto(v1, 400, 60, 200, 150, "view 1");
        EXPECT_EQ(0, GetWindowLongA(v0, GWL_STYLE) & WS_CHILD) << "no parent: WS_CHILD removed";
        EXPECT_EQ("Vid 1", Zagolovok(v0));
        EXPECT_EQ(KLASS, Zagolovok(v1));
        EXPECT_NE(0, GetWindowLongA(v1, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    }
    // One navigator at a time: window 0 of each would share its (unshared) history file.
    zyt::Hozjain host(600, 400);
    ZYKGLORVANTA2 nav;
    SGL_OKNO v{0, "x", WS_CHILD | WS_VISIBLE, 10, 20, 100, 80};
    ASSERT_EQ(1u, nav.Pusk(host.okno, 1, &v, nullptr));
    EstMesto(nav.controllers[0].hwnd, 10, 20, 100, 80, "child view");
    EXPECT_EQ(0, GetDlgCtrlID(nav.controllers[0].hwnd));
    EXPECT_TRUE(zakryvatel.Okna().empty()) << zakryvatel.Tekst();
}

TEST_F(Pusk, FailurePathsReturnZero) {
    HWND mertvoe =
        CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(mertvoe);
    {
        ZYKGLORVANTA2 nav;
        EXPECT_EQ(0u, nav.Pusk(mertvoe, 1, nullptr, nullptr));
        EXPECT_EQ(nullptr, nav.controllers);
        EXPECT_EQ(0u, nav.Pusk(nullptr, 0x10000, nullptr, nullptr)) << "index is 16-bit";
    }
    {
        // The constructor leaves -1 for the forwarded WM_CREATE: the window is not created, and
        // the rendering context, palette, font and device context the constructor made are
        // released at once.
        ZytNastrojka()->rezultat = -1;
        ZytNastrojka()->vyzov = ZapomnitRisovanie;
        const zyt::Imena a("ZyTestScenaA.dll");
        SGL_SCENA_PARAM sp{a.Adresa(), 0};
        zyt::Hozjain host(300, 200);
        auto nav = std::make_unique<ZYKGLORVANTA2>();
        EXPECT_EQ(0u, nav->Pusk(host.okno, 1, nullptr, &sp));
        EXPECT_EQ(nullptr, nav->controllers[0].hwnd);
        const ZYKGLKONTROL& k = nav->controllers[0];
        EXPECT_EQ(nullptr, k.KontekstGL);
        EXPECT_EQ(nullptr, k.KontekstDC);
        EXPECT_EQ(nullptr, k.Palitra);
        EXPECT_EQ(nullptr, k.Shrift);
        EXPECT_FALSE(k.Flagi.Test(ZYBIT_KONTEKST, ZYBIT_KONTEKST));
        ASSERT_NE(nullptr, risovanie.gl) << "the constructor made a context";
        EXPECT_FALSE(wglDeleteContext(risovanie.gl)) << "the context was deleted";
        EXPECT_EQ(0u, GetObjectType(risovanie.palitra)) << "the palette was deleted";
        EXPECT_EQ(0u, GetObjectType(risovanie.shrift)) << "the font was deleted";
        EXPECT_EQ(nullptr, k.PotokAntrakta) << "no intermission for a refused window";
        const HANDLE potok = zyt::Kopija(nav->controllers[0].thread);
        EXPECT_FALSE(zyt::Konchilsja(potok)) << "the thread keeps running";
        const DWORD start = GetTickCount();
        nav.reset();
        EXPECT_TRUE(zyt::Konchilsja(potok)) << "the destructor ends a window-less controller";
        EXPECT_LT(GetTickCount() - start, 3000u);
        CloseHandle(potok);
        EXPECT_EQ(nullptr, GetPropA(host.okno, "ZYKGL")) << "no subclass after a failure";
    }
    zyt::Chisto(); // the failed window's history names the scene that refused its creation
    {
        zyt::Hozjain host(300, 200);
        ZYKGLORVANTA2 nav;
        ASSERT_EQ(1u, nav.Pusk(host.okno, 1, nullptr, nullptr));
        EXPECT_EQ(0u, nav.Pusk(host.okno, 1, nullptr, nullptr)) << "once per navigator";
        EXPECT_EQ(0u, nav.KolOkon(2)) << "not while its threads run";
        EXPECT_TRUE(IsWindow(nav.controllers[0].hwnd));
    }
}

TEST_F(Pusk, ClosingTheHostEndsEveryThreadWithItsTones) {
    zyt::ZapisTonov tony;
    zyt::Hozjain host(640, 480);
    ZYKGLORVANTA2 nav;
    ASSERT_EQ(1u, nav.Pusk(host.okno, 3, nullptr, nullptr));
    std::vector<HANDLE> potoki;
    std::vector<unsigned long> id;
    for (int i = 0; i < 3; ++i) {
        potoki.push_back(zyt::Kopija(nav.controllers[i].thread));
        id.push_back(nav.controllers[i].threadId);
        ASSERT_TRUE(zyt::Kachat([&] { return nav.controllers[i].PotokAntrakta != nullptr; }));
    }
    DestroyWindow(host.okno);
    EXPECT_TRUE(zyt::Kachat([&] {
        for (HANDLE h : potoki)
            if (!zyt::Konchilsja(h)) return false;
        return true;
    }));
    const auto t = zyt::VzjatTony();
    for (int i = 0; i < 3; ++i) {
        // Intermission thread first (it ends before its controller), then the controller.
        const unsigned long zhdem[4] = {2 * id[i] + 900, 2 * id[i] - 100, 2 * id[i] + 500,
                                        2 * id[i] + 300};
        size_t gde = 0;
        for (unsigned long ch : zhdem) {
            while (gde < t.size() && !(t[gde].chastota == ch && t[gde].dlitelnost == 100))
                ++gde;
            EXPECT_LT(gde, t.size()) << "controller " << i << ": tone " << ch << " Hz";
        }
        EXPECT_EQ(0, nav.controllers[i].threadAlive);
        EXPECT_EQ(nullptr, nav.controllers[i].KontekstGL) << "context released on WM_DESTROY";
    }
    for (HANDLE h : potoki)
        CloseHandle(h);
}

namespace {
std::atomic<int> soobRoditelja{0};
std::atomic<long> xRoditelja{0};
// A navigation handler for 0x402: counts the notices and keeps the parent's x.
int NaRoditelja(MSG* m) {
    xRoditelja = reinterpret_cast<const WINDOWPOS*>(m->lParam)->x;
    ++soobRoditelja;
    return 0;
}
// Subscribes the handler from the scene constructor.
void PodpisatRoditelja(int fyn, ZYKGLKONTROL* k) {
    if (fyn != ZYT_KONSTR) return;
    ZYS_SOOB_iFYN z{ZYM_RODITEL, NaRoditelja};
    k->vklNav(&z, 1);
}
} // namespace

TEST_F(Pusk, ParentMovesReachEveryView) {
    ZytNastrojka()->vyzov = PodpisatRoditelja;
    const zyt::Imena a("ZyTestScenaA.dll");
    SGL_SCENA_PARAM sp[2] = {{a.Adresa(), 0}, {a.Adresa(), 0}};
    zyt::Hozjain host(640, 480);
    ZYKGLORVANTA2 nav;
    ASSERT_EQ(1u, nav.Pusk(host.okno, 2, nullptr, sp));
    soobRoditelja = 0;
    SetWindowPos(host.okno, nullptr, 123, 45, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_TRUE(zyt::Kachat([] { return soobRoditelja >= 2; }));
    EXPECT_EQ(123, xRoditelja);
}

TEST_F(Pusk, ResizingTheParentEndsTransparencyCutOuts) {
    zyt::Hozjain host(400, 300);
    ZYKGLORVANTA2 nav;
    ASSERT_EQ(1u, nav.Pusk(host.okno, 1, nullptr, nullptr));
    nav.parentRegion = CreateRectRgn(0, 0, 10, 10);
    nav.parentRegionAux = CreateRectRgn(0, 0, 5, 5);
    SetWindowPos(host.okno, nullptr, 0, 0, 420, 310, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(nullptr, nav.parentRegion);
    EXPECT_EQ(nullptr, nav.parentRegionAux);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, GetWindowRgn(host.okno, rgn));
    RECT box{}, stol{};
    GetRgnBox(rgn, &box);
    GetWindowRect(GetDesktopWindow(), &stol);
    EXPECT_EQ(stol.right + 100, box.right);
    EXPECT_EQ(stol.bottom + 100, box.bottom);
    DeleteObject(rgn);
}

TEST_F(Pusk, FocusTabAndLockKeys) {
    zyt::Hozjain host(640, 480);
    ZYKGLORVANTA2 nav;
    ASSERT_EQ(1u, nav.Pusk(host.okno, 2, nullptr, nullptr));
    const HWND v0 = nav.controllers[0].hwnd;
    BYTE klav[256], byl[256];
    GetKeyboardState(byl);

    SetFocus(host.okno); // the parent hands the focus on to its first child
    EXPECT_EQ(GetWindow(host.okno, GW_CHILD), GetFocus());

    SetFocus(v0);
    const int fokusov = zyt::FokusovHozjaina();
    std::memcpy(klav, byl, sizeof klav);
    klav[VK_CONTROL] = klav[VK_LCONTROL] = 0x80;
    SetKeyboardState(klav);
    SendMessageA(v0, WM_KEYDOWN, VK_TAB, 0);
    EXPECT_GT(zyt::FokusovHozjaina(), fokusov) << "left Ctrl+Tab gives the host the focus";

    SetFocus(v0);
    std::memcpy(klav, byl, sizeof klav);
    klav[VK_CONTROL] = klav[VK_LCONTROL] = klav[VK_RCONTROL] = klav[VK_SHIFT] = 0;
    SetKeyboardState(klav);
    HWND sled = GetWindow(v0, GW_HWNDNEXT);
    SendMessageA(v0, WM_KEYDOWN, VK_TAB, 0);
    EXPECT_EQ(sled ? sled : GetWindow(v0, GW_HWNDFIRST), GetFocus()) << "plain Tab: next window";

    ZYKGLKONTROL& k = nav.controllers[0];
    klav[VK_NUMLOCK] = 1;
    klav[VK_SCROLL] = 0;
    SetKeyboardState(klav);
    SendMessageA(v0, WM_SETFOCUS, 0, 0);
    EXPECT_TRUE(k.Flagi.Test(ZYBIT_NUM_LOCK, ZYBIT_NUM_LOCK));
    EXPECT_FALSE(k.Flagi.Test(ZYBIT_SCROLL_LOCK, ZYBIT_SCROLL_LOCK));
    klav[VK_NUMLOCK] = 0;
    klav[VK_SCROLL] = 1;
    SetKeyboardState(klav);
    SendMessageA(v0, WM_KEYDOWN, 'A', 0);
    EXPECT_FALSE(k.Flagi.Test(ZYBIT_NUM_LOCK, ZYBIT_NUM_LOCK));
    EXPECT_TRUE(k.Flagi.Test(ZYBIT_SCROLL_LOCK, ZYBIT_SCROLL_LOCK));
    SetKeyboardState(byl);
}

TEST_F(Pusk, AuxiliaryWindowRequests) {
    zyt::Hozjain host(500, 300);
    ZYKGLORVANTA2 nav;
    ASSERT_EQ(1u, nav.Pusk(host.okno, 1, nullptr, nullptr));
    ZYKGLKONTROL& k = nav.controllers[0];
    ASSERT_TRUE(zyt::Kachat([&] { return k.PotokAntrakta != nullptr; }));
    EXPECT_EQ(0, SendMessageA(k.hwnd, ZYM_POKAZAT_DES, 0, 0));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(k.windowOpEvent, 0));
    EXPECT_TRUE(IsWindowVisible(k.desHwnd));
    RECT kl{}, des{};
    GetClientRect(k.hwnd, &kl);
    GetWindowRect(k.desHwnd, &des);
    EXPECT_EQ(kl.right, des.right - des.left);
    EXPECT_EQ(kl.bottom, des.bottom - des.top);
    EXPECT_EQ(0, SendMessageA(k.hwnd, ZYM_SKRYT_DES, 0, 0));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(k.windowOpEvent, 0));
    EXPECT_FALSE(IsWindowVisible(k.desHwnd));
}

TEST_F(Pusk, DestructorEndsThreadsOfOpenWindowsAndRestoresTheParent) {
    zyt::Hozjain host(500, 300);
    auto nav = std::make_unique<ZYKGLORVANTA2>();
    ASSERT_EQ(1u, nav->Pusk(host.okno, 2, nullptr, nullptr));
    const HANDLE p0 = zyt::Kopija(nav->controllers[0].thread);
    const HANDLE p1 = zyt::Kopija(nav->controllers[1].thread);
    const HWND v0 = nav->controllers[0].hwnd;
    const DWORD start = GetTickCount();
    nav.reset();
    EXPECT_LT(GetTickCount() - start, 3000u);
    EXPECT_TRUE(zyt::Konchilsja(p0));
    EXPECT_TRUE(zyt::Konchilsja(p1));
    EXPECT_FALSE(IsWindow(v0));
    EXPECT_EQ(nullptr, GetPropA(host.okno, "ZYKGL"));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(zyt::ProcHozjaina),
              GetWindowLongPtrA(host.okno, GWLP_WNDPROC));
    CloseHandle(p0);
    CloseHandle(p1);
}

namespace {
// A host's own procedure that ends its program's loop when its window is destroyed.
LRESULT CALLBACK ProcKonca(HWND o, UINT s, WPARAM w, LPARAM l) {
    if (s == WM_DESTROY) PostQuitMessage(7);
    return DefWindowProcA(o, s, w, l);
}
// The scene animates continuously and keeps its eye at x = 5.
void Animirovat(int fyn, ZYKGLKONTROL* k) {
    if (fyn == ZYT_KONSTR) k->Flagi.Vkl(ZYBIT_ANIMACIJA, ZYBIT_ANIMACIJA);
    if (fyn == ZYT_POKAZ) k->PozNav[0].x = 5.0;
}
// Starts and ends one navigator of scene A in a host of its own: what a process sets up once
// (window classes, the drivers' own objects) is then in place before counting.
void Progrev() {
    const zyt::Imena a("ZyTestScenaA.dll");
    SGL_SCENA_PARAM sp{a.Adresa(), 0};
    zyt::Hozjain host(200, 150);
    ZYKGLORVANTA2 nav;
    ASSERT_EQ(1u, nav.Pusk(host.okno, 1, nullptr, &sp));
    ASSERT_TRUE(zyt::Kachat([] { return ZytKol(ZYT_POKAZ) > 0; }));
}
} // namespace

TEST_F(Pusk, DestroyedRightAfterItsHostTheNavigatorStillStoresAndReleasesEverything) {
    Progrev();
    zyt::Chisto();
    const unsigned long ruchek = zytest::DeskriptoryProcessa();
    const unsigned long gdi = zytest::GdiObjektovProcessa();
    ZytNastrojka()->vyzov = Animirovat;
    {
        const zyt::Imena a("ZyTestScenaA.dll");
        SGL_SCENA_PARAM sp{a.Adresa(), 0};
        zytest::Okno host(10, 10, 300, 200, WS_POPUP, ProcKonca, "host");
        host.PokazatBezAktivacii();
        auto nav = std::make_unique<ZYKGLORVANTA2>();
        ASSERT_EQ(1u, nav->Pusk(host.hwnd(), 1, nullptr, &sp));
        ASSERT_TRUE(zyt::Kachat([] { return ZytKol(ZYT_POKAZ) > 3; })) << "it animates";
        // As an embedding host does: its window, then the navigator, before its loop runs.
        DestroyWindow(host.hwnd());
        nav.reset();
    }
    const auto b = zytest::ChitatBajty(zyt::ISTORIJA);
    ASSERT_GE(b.size(), 24u) << "the history file can be read at once";
    uint64_t tek = 0;
    std::memcpy(&tek, b.data(), sizeof tek);
    double x = 0;
    ASSERT_LE(tek + 8 + 64 + sizeof x, b.size());
    std::memcpy(&x, b.data() + tek + 8 + 64, sizeof x);
    EXPECT_EQ(5.0, x) << "the position at close is stored";
    MSG m{};
    EXPECT_TRUE(PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit is kept";
    EXPECT_EQ(7u, m.wParam);
    EXPECT_EQ(ruchek, zytest::DeskriptoryProcessa()) << "handles";
    // NOTE: Wine frees some objects of a destroyed window a moment later; a leak stays.
    zytest::ZhdatPoka([&] { return zytest::GdiObjektovProcessa() == gdi; }, 2000);
    EXPECT_EQ(gdi, zytest::GdiObjektovProcessa()) << "GDI objects";
}

namespace {
// The scene animates fast with transparency on (its frames are never key-coloured).
void Prozrachnye(int fyn, ZYKGLKONTROL* k) {
    if (fyn != ZYT_KONSTR) return;
    k->Flagi.Vkl(ZYBIT_ANIMACIJA, ZYBIT_ANIMACIJA);
    k->Flagi.Vkl(ZYBIT_PROZRACHNO, ZYBIT_PROZRACHNO);
}
DWORD potokTesta = 0;
// The engine's CreateRectRgnIndirect, slowed down on the controller threads: two views that
// build the parent's region at once then meet inside it, as they may on a busy machine.
HRGN WINAPI MedlennyjRegion(const RECT* r) {
    if (GetCurrentThreadId() != potokTesta) Sleep(2);
    return CreateRectRgnIndirect(r);
}
} // namespace

TEST_F(Pusk, TwoTransparentViewsKeepTheParentWholeWhileItIsResized) {
    ZytNastrojka()->vyzov = Prozrachnye;
    ZytNastrojka()->fps = 200;
    potokTesta = GetCurrentThreadId();
    zytest::ZamenaImporta medlenno(GetModuleHandleA("ZyKGLOrvanta2.dll"), "gdi32.dll",
                                   "CreateRectRgnIndirect",
                                   reinterpret_cast<void*>(MedlennyjRegion));
    ASSERT_TRUE(medlenno.Est());
    const zyt::Imena a("ZyTestScenaA.dll");
    SGL_SCENA_PARAM sp[2] = {{a.Adresa(), 0}, {a.Adresa(), 0}};
    zyt::Hozjain host(400, 300);
    ZYKGLORVANTA2 nav;
    ASSERT_EQ(1u, nav.Pusk(host.okno, 2, nullptr, sp));
    ASSERT_TRUE(zyt::Kachat([] { return ZytKol(ZYT_POKAZ) > 20; }));
    const unsigned long gdi = zytest::GdiObjektovProcessa();
    HRGN r = CreateRectRgn(0, 0, 0, 0);
    int bezRegiona = 0;
    for (int i = 0; i < 60; ++i) {
        const int w = 400 + (i % 2) * 60 + i, h = 300 + (i % 3) * 20;
        SetWindowPos(host.okno, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        const unsigned long kadrov = ZytKol(ZYT_POKAZ);
        ASSERT_TRUE(zyt::Kachat([&] { return ZytKol(ZYT_POKAZ) > kadrov + 4; }));
        if (GetWindowRgn(host.okno, r) == ERROR) {
            ++bezRegiona;
            continue;
        }
        // The views' frames are never key-coloured: the whole client area stays.
        for (POINT p : {POINT{0, 0}, POINT{w - 1, 0}, POINT{0, h - 1}, POINT{w - 1, h - 1}})
            EXPECT_TRUE(PtInRegion(r, p.x, p.y)) << "resize " << i << ": " << p.x << ", " << p.y;
    }
    DeleteObject(r);
    EXPECT_LT(bezRegiona, 60) << "transparency shapes the parent";
    EXPECT_LE(zytest::GdiObjektovProcessa(), gdi + 2) << "no region leaks";
}
