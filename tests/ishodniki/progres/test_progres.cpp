// The progress window on its own thread: texts, layout, the bar driven by posted thread
// messages, and the end of the thread on the posted close. Every wait is bounded.
//
// NOTE: under Wine on an X server without a window manager, hiding or destroying a window
// with a caption waits about two seconds for the window manager's acknowledgement, so each
// closed progress window costs that long here.
#include "ZyProgres.h"
#include "ZySistVyzovy.h"

#include "ZyKFajl64.h"
#include "ZyTestOkno.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace Quorvel;

namespace {

// What the unit asked the system to register, and the answer.
std::string gImjaKlassa;
int gRegistracij = 0;
ATOM gAtom = 0;

// RegisterClassExA, recording the call.
ATOM WINAPI zapisatRegistraciju(const WNDCLASSEXA* k) {
    ++gRegistracij;
    gImjaKlassa = k->lpszClassName && !IS_INTRESOURCE(k->lpszClassName) ? k->lpszClassName : "";
    gAtom = RegisterClassExA(k);
    return gAtom;
}

// The table of system calls the unit under test sees (it uses only RegisterClassExA).
Quorvel::ZYS_SIST_VYZOVY zyTablica() {
    Quorvel::ZYS_SIST_VYZOVY t{};
    t.RegisterClassExA = zapisatRegistraciju;
    return t;
}
Quorvel::ZYS_SIST_VYZOVY gTablica = zyTablica();

} // namespace

// The unit is built into this program, so it reaches the system through this table rather than
// the library's own.
Quorvel::ZYS_SIST_VYZOVY& Quorvel::ZyOS() {
    return gTablica;
}

namespace {

constexpr char kKlass[] = "ZyKFajl64_Progres";
constexpr DWORD kSrok = 5000; // ms for anything the thread has to do

// A text block as the file operations build it.
unsigned char* Blok(const char* zag, const char* m1, const char* m2, const char* ist,
                    const char* pri) {
    unsigned char* b = new unsigned char[ZYPR_BLOK];
    std::memset(b, 0, ZYPR_BLOK);
    std::strcpy(reinterpret_cast<char*>(b + ZYPR_ZAGOLOVOK), zag);
    std::strcpy(reinterpret_cast<char*>(b + ZYPR_METKA1), m1);
    std::strcpy(reinterpret_cast<char*>(b + ZYPR_METKA2), m2);
    std::strcpy(reinterpret_cast<char*>(b + ZYPR_ISTOCHNIK), ist);
    std::strcpy(reinterpret_cast<char*>(b + ZYPR_PRIEMNIK), pri);
    return b;
}

// True when the window answers a message within the time limit.
bool Otvechaet(HWND h) {
    DWORD_PTR r;
    return SendMessageTimeoutA(h, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kSrok, &r) != 0;
}

// Sends a message, bounded in time; the answer (0 when none came).
LRESULT Poslat(HWND h, UINT m, WPARAM w = 0, LPARAM l = 0) {
    DWORD_PTR r = 0;
    SendMessageTimeoutA(h, m, w, l, SMTO_ABORTIFHUNG, kSrok, &r);
    return static_cast<LRESULT>(r);
}

// The window's text, once the window answers at all.
std::string Tekst(HWND h) {
    if (!Otvechaet(h)) return "<no answer>";
    char b[1024] = {};
    GetWindowTextA(h, b, sizeof b);
    return b;
}

// A running progress thread; the destructor closes it if the test did not.
class Progress {
public:
    explicit Progress(unsigned char* blok) {
        potok_ = CreateThread(nullptr, 0, ZyProgresPotok, blok, 0, &id_);
    }
    ~Progress() {
        if (!potok_) return;
        if (WaitForSingleObject(potok_, 0) == WAIT_TIMEOUT) {
            PostThreadMessageA(id_, ZYPR_ZAKRYT, 0, 0);
            WaitForSingleObject(potok_, kSrok);
        }
        CloseHandle(potok_);
    }
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // The thread's main window once its bar exists (the window is then complete), or null
    // when the thread ends or the time runs out. Waits on the thread handle between looks.
    HWND ZhdatOkno() {
        const DWORD konec = GetTickCount() + kSrok;
        while (GetTickCount() < konec) {
            if (HWND h = OknoPotoka(); h && ZyVzDocherneeOkno(h, 6)) return h;
            if (WaitForSingleObject(potok_, 10) != WAIT_TIMEOUT) return nullptr;
        }
        return nullptr;
    }
    // Waits until the bar shows `poz` (the posted message has been handled).
    bool ZhdatPoziciju(HWND polosa, int poz) {
        const DWORD konec = GetTickCount() + kSrok;
        while (GetTickCount() < konec) {
            if (Poslat(polosa, PBM_GETPOS) == poz) return true;
            if (WaitForSingleObject(potok_, 10) != WAIT_TIMEOUT) return false;
        }
        return false;
    }
    // Waits for the thread to end; its exit code, or -1 when it is still running.
    long ZhdatKonca() {
        if (WaitForSingleObject(potok_, kSrok) != WAIT_OBJECT_0) return -1;
        DWORD kod = 0;
        GetExitCodeThread(potok_, &kod);
        return static_cast<long>(kod);
    }
    DWORD Id() const { return id_; }
    bool Zapushen() const { return potok_ != nullptr; }

private:
    // The window of class "ZyKFajl64_Progres" that belongs to this thread.
    HWND OknoPotoka() const {
        for (HWND h = FindWindowExA(nullptr, nullptr, kKlass, nullptr); h;
             h = FindWindowExA(nullptr, h, kKlass, nullptr))
            if (GetWindowThreadProcessId(h, nullptr) == id_) return h;
        return nullptr;
    }
    HANDLE potok_ = nullptr;
    DWORD id_ = 0;
};

// The rectangle of a child in its parent's client coordinates.
RECT Pryamougolnik(HWND rebenok) {
    RECT r;
    GetWindowRect(rebenok, &r);
    MapWindowPoints(nullptr, GetParent(rebenok), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

TEST(Progres, ShowsTheTextsInTheLayout) {
    Progress p(Blok("Kopirovanie fajla", "Istochnik:", "Priemnik:", "C:\\dannye\\a.dat",
                    "D:\\kopija\\a.dat"));
    ASSERT_TRUE(p.Zapushen());
    HWND okno = p.ZhdatOkno();
    ASSERT_TRUE(okno) << "no progress window with its bar";
    EXPECT_EQ(Tekst(okno), "Kopirovanie fajla");
    const struct {
        int id, y;
        const char* tekst;
    } ozhid[] = {{1, 10, "Istochnik:"},
                 {2, 30, "C:\\dannye\\a.dat"},
                 {3, 50, "Priemnik:"},
                 {4, 70, "D:\\kopija\\a.dat"},
                 {5, 100, ""}};
    for (const auto& o : ozhid) {
        HWND h = ZyVzDocherneeOkno(okno, o.id);
        ASSERT_TRUE(h) << "control " << o.id;
        EXPECT_EQ(zytest::KlassOkna(h), "Static") << o.id;
        EXPECT_EQ(Tekst(h), o.tekst) << "control " << o.id;
        const RECT r = Pryamougolnik(h);
        EXPECT_EQ(r.left, 19) << o.id;
        EXPECT_EQ(r.top, o.y) << o.id;
        EXPECT_EQ(r.right - r.left, 589) << o.id;
        EXPECT_EQ(r.bottom - r.top, 20) << o.id;
        EXPECT_EQ(GetWindowLongPtrA(h, GWL_STYLE) & (WS_CHILD | WS_VISIBLE),
                  LONG_PTR(WS_CHILD | WS_VISIBLE));
        // The thread's font on every text control.
        HFONT f = reinterpret_cast<HFONT>(Poslat(h, WM_GETFONT));
        ASSERT_TRUE(f) << "control " << o.id << " has no font";
        LOGFONTA lf;
        ASSERT_EQ(GetObjectA(f, sizeof lf, &lf), int(sizeof lf));
        EXPECT_EQ(lf.lfHeight, 10);
        EXPECT_EQ(lf.lfWeight, 400);
        EXPECT_EQ(lf.lfCharSet, 1);
        EXPECT_STREQ(lf.lfFaceName, "MS Sans Serif");
    }
    HWND polosa = ZyVzDocherneeOkno(okno, 6);
    EXPECT_EQ(zytest::KlassOkna(polosa), "msctls_progress32");
    const RECT rp = Pryamougolnik(polosa), r5 = Pryamougolnik(ZyVzDocherneeOkno(okno, 5));
    EXPECT_TRUE(EqualRect(&rp, &r5)) << "the bar covers the placeholder";
    EXPECT_TRUE(GetWindowLongPtrA(polosa, GWL_STYLE) & WS_BORDER);
    PBRANGE rng{};
    Poslat(polosa, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&rng));
    EXPECT_EQ(rng.iLow, 0);
    EXPECT_EQ(rng.iHigh, 100);

    // The main window: 640 x 170, centred on the 1024 x 768 desktop, no parent.
    RECT r;
    GetWindowRect(okno, &r);
    EXPECT_EQ(r.right - r.left, 640);
    EXPECT_EQ(r.bottom - r.top, 170);
    EXPECT_EQ(r.left, 192);
    EXPECT_EQ(r.top, 299);
    EXPECT_EQ(GetParent(okno), nullptr);
    const LONG_PTR stil = GetWindowLongPtrA(okno, GWL_STYLE);
    EXPECT_EQ(stil & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE),
              LONG_PTR(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE));
    EXPECT_FALSE(stil & WS_THICKFRAME);
    // The class: in the library's instance, with its icon, arrow and button-face brush.
    EXPECT_EQ(reinterpret_cast<HMODULE>(GetClassLongPtrA(okno, GCLP_HMODULE)),
              GetModuleHandleA("ZyKFajl64.dll"));
    EXPECT_EQ(GetClassLongPtrA(okno, GCL_STYLE), LONG_PTR(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(GetClassLongPtrA(okno, GCLP_HBRBACKGROUND), 16);
    EXPECT_TRUE(GetClassLongPtrA(okno, GCLP_HICON));
    EXPECT_TRUE(GetClassLongPtrA(okno, GCLP_HICONSM));
    EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrA(okno, GCLP_HCURSOR)),
              LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
}

TEST(Progres, PostedPercentagesMoveTheBarAndCloseEndsTheThread) {
    Progress p(Blok("Kodirovanie", "Istochnik:", "Priemnik:", "a", "b"));
    HWND okno = p.ZhdatOkno();
    ASSERT_TRUE(okno);
    HWND polosa = ZyVzDocherneeOkno(okno, 6);
    EXPECT_EQ(Poslat(polosa, PBM_GETPOS), 0);
    ASSERT_TRUE(PostThreadMessageA(p.Id(), ZYPR_POZICIJA, 40, 0));
    EXPECT_TRUE(p.ZhdatPoziciju(polosa, 40)) << "bar at " << Poslat(polosa, PBM_GETPOS);
    ASSERT_TRUE(PostThreadMessageA(p.Id(), ZYPR_POZICIJA, 73, 0));
    EXPECT_TRUE(p.ZhdatPoziciju(polosa, 73));
    ASSERT_TRUE(PostThreadMessageA(p.Id(), ZYPR_POZICIJA, 250, 0));
    EXPECT_TRUE(p.ZhdatPoziciju(polosa, 100)) << "values above 100 stop at 100";
    ASSERT_TRUE(PostThreadMessageA(p.Id(), ZYPR_POZICIJA, 0, 0));
    EXPECT_TRUE(p.ZhdatPoziciju(polosa, 0)) << "0 resets";

    ASSERT_TRUE(PostThreadMessageA(p.Id(), ZYPR_ZAKRYT, 0, 0));
    EXPECT_EQ(p.ZhdatKonca(), 0) << "the thread ends with its loop's exit code";
    EXPECT_FALSE(IsWindow(okno)) << "the window goes with its thread";
    EXPECT_FALSE(IsWindow(polosa));
    EXPECT_EQ(FindWindowA(kKlass, nullptr), nullptr);
}

TEST(Progres, TwoWindowsAtOnceAndARestart) {
    {
        Progress a(Blok("Pervyj", "Iz:", "V:", "1", "2"));
        Progress b(Blok("Vtoroj", "Iz:", "V:", "3", "4"));
        HWND oa = a.ZhdatOkno(), ob = b.ZhdatOkno();
        ASSERT_TRUE(oa);
        ASSERT_TRUE(ob);
        EXPECT_NE(oa, ob);
        EXPECT_EQ(Tekst(oa), "Pervyj");
        EXPECT_EQ(Tekst(ob), "Vtoroj");
        PostThreadMessageA(b.Id(), ZYPR_POZICIJA, 55, 0);
        EXPECT_TRUE(b.ZhdatPoziciju(ZyVzDocherneeOkno(ob, 6), 55));
        EXPECT_EQ(Poslat(ZyVzDocherneeOkno(oa, 6), PBM_GETPOS), 0) << "each thread its own bar";
        PostThreadMessageA(a.Id(), ZYPR_ZAKRYT, 0, 0);
        EXPECT_EQ(a.ZhdatKonca(), 0);
        EXPECT_TRUE(IsWindow(ob)) << "closing one leaves the other";
    }
    // The class stays registered; a later thread uses it again.
    Progress c(Blok("Tretij", "Iz:", "V:", "5", "6"));
    HWND oc = c.ZhdatOkno();
    ASSERT_TRUE(oc);
    EXPECT_EQ(Tekst(oc), "Tretij");
}

TEST(Progres, LabelsAreTheNonEmptyStringsAfterTheTitle) {
    // Labels away from their usual offsets, and names that fill their fields completely.
    unsigned char* b = new unsigned char[ZYPR_BLOK];
    std::memset(b, 0, ZYPR_BLOK);
    std::strcpy(reinterpret_cast<char*>(b), "Perenos");
    std::strcpy(reinterpret_cast<char*>(b + 20), "Otkuda:");
    std::strcpy(reinterpret_cast<char*>(b + 200), "Kuda:");
    std::memset(b + ZYPR_ISTOCHNIK, 'I', 256);
    std::memset(b + ZYPR_PRIEMNIK, 'P', 256);
    Progress p(b);
    HWND okno = p.ZhdatOkno();
    ASSERT_TRUE(okno);
    EXPECT_EQ(Tekst(okno), "Perenos");
    EXPECT_EQ(Tekst(ZyVzDocherneeOkno(okno, 1)), "Otkuda:");
    EXPECT_EQ(Tekst(ZyVzDocherneeOkno(okno, 3)), "Kuda:");
    EXPECT_EQ(Tekst(ZyVzDocherneeOkno(okno, 2)), std::string(256, 'I')) << "cut at its field";
    EXPECT_EQ(Tekst(ZyVzDocherneeOkno(okno, 4)), std::string(256, 'P'));
}

TEST(Progres, AnUnterminatedTitleAndAMissingBlock) {
    unsigned char* b = new unsigned char[ZYPR_BLOK];
    std::memset(b, 'T', ZYPR_BLOK);
    {
        Progress p(b);
        HWND okno = p.ZhdatOkno();
        ASSERT_TRUE(okno);
        EXPECT_EQ(Tekst(okno), std::string(85, 'T')) << "the title stays in its 85 bytes";
        // Without zero bytes the first label is what follows the title, up to offset 256.
        EXPECT_EQ(Tekst(ZyVzDocherneeOkno(okno, 1)), std::string(256 - 85, 'T'));
        EXPECT_EQ(Tekst(ZyVzDocherneeOkno(okno, 3)), "");
    }
    Progress p(nullptr);
    HWND okno = p.ZhdatOkno();
    ASSERT_TRUE(okno) << "no block: an empty window";
    EXPECT_EQ(Tekst(okno), "");
}

TEST(Progres, ClosingTheWindowByHandEndsTheThread) {
    Progress p(Blok("Kopirovanie", "Iz:", "V:", "a", "b"));
    HWND okno = p.ZhdatOkno();
    ASSERT_TRUE(okno);
    PostMessageA(okno, WM_CLOSE, 0, 0);
    EXPECT_EQ(p.ZhdatKonca(), 0);
    EXPECT_FALSE(IsWindow(okno));
    // The operation may still post to the ended thread: that simply fails.
    EXPECT_FALSE(PostThreadMessageA(p.Id(), ZYPR_POZICIJA, 10, 0));
}

TEST(Progres, TheClassIsRegisteredWithItsNameAndSmallIconAtTheFirstAttempt) {
    const HINSTANCE modul = GetModuleHandleA("ZyKFajl64.dll");
    UnregisterClassA(kKlass, modul); // left by the tests before, whose windows are gone
    WNDCLASSA est;
    ASSERT_FALSE(GetClassInfoA(modul, kKlass, &est));
    gRegistracij = 0;
    Progress p(Blok("Kopirovanie", "Iz:", "V:", "a", "b"));
    ASSERT_TRUE(p.ZhdatOkno());
    EXPECT_EQ(1, gRegistracij);
    EXPECT_EQ(kKlass, gImjaKlassa);
    EXPECT_NE(0, gAtom) << "the extended registration itself succeeds";
}

} // namespace
