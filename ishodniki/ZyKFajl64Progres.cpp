// ZyKFajl64Progres: the progress window of long file operations, on a thread of its own.
//
// The thread shows a title, two labels with the source and receiver names and a progress
// bar. The operation only posts to the thread: WM_USER with the percentage, WM_DESTROY to
// close. The thread reads its texts once, at start, and never touches the file object.
#include "ZyProgres.h"

#include "ZyKFajl64.h"
#include "ZySistVyzovy.h"

#include <commctrl.h>

#include <cstring>
#include <string>

namespace Quorvel {

namespace {

constexpr char kKlass[] = "ZyKFajl64_Progres";
constexpr int kShirina = 640, kVysota = 170;
constexpr int kIdPolosa = 6;
constexpr UINT kSozdatPolosu = WM_USER + 1;

// Texts of the window, copied out of the block.
struct Teksty {
    std::string zagolovok, metka1, istochnik, metka2, priemnik;
};

// The zero-terminated string at `p`, at most `dlina` bytes of it.
std::string Stroka(const unsigned char* p, std::size_t dlina) {
    std::size_t n = 0;
    while (n < dlina && p[n] != 0)
        ++n;
    return std::string(reinterpret_cast<const char*>(p), n);
}

// The next non-empty string at or after `*poz` and below `konec`; `*poz` moves past it.
std::string SledujushajaStroka(const unsigned char* blok, std::size_t* poz, std::size_t konec) {
    std::size_t i = *poz;
    while (i < konec && blok[i] == 0)
        ++i;
    std::string s = Stroka(blok + i, konec - i);
    *poz = i + s.size();
    return s;
}

// Reads the block: the title at its start, the two labels as the first two non-empty strings
// after it below offset 256, the names in their fields; every string stays inside its field.
Teksty ChitatBlok(const unsigned char* blok) {
    Teksty t;
    if (!blok) return t;
    t.zagolovok = Stroka(blok + ZYPR_ZAGOLOVOK, ZYPR_METKA1 - ZYPR_ZAGOLOVOK);
    std::size_t poz = t.zagolovok.size();
    t.metka1 = SledujushajaStroka(blok, &poz, ZYPR_ISTOCHNIK);
    t.metka2 = SledujushajaStroka(blok, &poz, ZYPR_ISTOCHNIK);
    t.istochnik = Stroka(blok + ZYPR_ISTOCHNIK, ZYPR_PRIEMNIK - ZYPR_ISTOCHNIK);
    t.priemnik = Stroka(blok + ZYPR_PRIEMNIK, ZYPR_BLOK - ZYPR_PRIEMNIK);
    return t;
}

// The instance of this library: by its file name, else the module holding this code.
HINSTANCE Modul() {
    HMODULE h = GetModuleHandleA("ZyKFajl64.dll");
    if (!h) {
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCSTR>(&Modul), &h);
    }
    return h;
}

// Finds the bar: from the last child towards the first, at most six steps.
HWND NajtiPolosu(HWND okno) {
    HWND h = GetWindow(okno, GW_CHILD);
    if (h) h = GetWindow(h, GW_HWNDLAST);
    for (int shag = 0; h && shag < 6; ++shag, h = GetWindow(h, GW_HWNDPREV))
        if (GetWindowLongPtrA(h, GWLP_ID) == kIdPolosa) return h;
    return nullptr;
}

// Creates the progress bar (0 .. 100) over the placeholder control `mesto`.
void SozdatPolosu(HWND okno, HWND mesto) {
    WINDOWPLACEMENT wp;
    std::memset(&wp, 0, sizeof wp);
    wp.length = sizeof wp;
    if (!GetWindowPlacement(mesto, &wp)) return;
    InitCommonControls();
    const RECT& r = wp.rcNormalPosition;
    HWND polosa =
        CreateWindowExA(0, PROGRESS_CLASSA, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, r.left,
                        r.top, r.right - r.left, r.bottom - r.top, okno,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdPolosa)), Modul(), nullptr);
    if (polosa) SendMessageA(polosa, PBM_SETRANGE, 0, 0x00640000);
}

// Window procedure of the progress window.
LRESULT CALLBACK ProceduraOkna(HWND okno, UINT soob, WPARAM w, LPARAM l) {
    switch (soob) {
    case WM_CREATE:
        ZyOknoVCentr(okno, nullptr, 0, 0);
        ShowWindow(okno, SW_SHOWNORMAL);
        UpdateWindow(okno);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(okno, &ps);
        EndPaint(okno, &ps);
        return 0;
    }
    case WM_USER:
        if (HWND polosa = NajtiPolosu(okno)) SendMessageA(polosa, PBM_SETPOS, w, 0);
        return 0;
    case kSozdatPolosu:
        SozdatPolosu(okno, reinterpret_cast<HWND>(w));
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(okno, soob, w, l);
    }
}

// Registers the window class once per process. True when it is registered, also by another
// progress thread at the same moment.
bool ZaregistrirovatKlass(HINSTANCE modul) {
    WNDCLASSA est;
    if (GetClassInfoA(modul, kKlass, &est)) return true;
    WNDCLASSEXA k;
    std::memset(&k, 0, sizeof k);
    k.cbSize = sizeof k;
    k.style = CS_HREDRAW | CS_VREDRAW;
    k.lpfnWndProc = ProceduraOkna;
    k.hInstance = modul;
    k.hIcon = LoadIconA(modul, "IDI_APPICON");
    k.hIconSm = static_cast<HICON>(LoadImageA(modul, "IDI_APPICON", IMAGE_ICON,
                                              GetSystemMetrics(SM_CXSMICON),
                                              GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    k.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    k.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    k.lpszClassName = kKlass;
    if (ZyOS().RegisterClassExA(&k)) return true;
    const DWORD oshibka = GetLastError();
    // The small icon was loaded for the class alone (not shared): the class did not take it.
    if (k.hIconSm) DestroyIcon(k.hIconSm);
    if (oshibka == ERROR_CLASS_ALREADY_EXISTS) return true;
    WNDCLASSA s;
    std::memset(&s, 0, sizeof s);
    s.style = k.style;
    s.lpfnWndProc = k.lpfnWndProc;
    s.hInstance = k.hInstance;
    s.hIcon = k.hIcon;
    s.hCursor = k.hCursor;
    s.hbrBackground = k.hbrBackground;
    s.lpszClassName = kKlass;
    return RegisterClassA(&s) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// The window's font, deleted when the thread ends.
class Shrift {
public:
    Shrift()
        : h_(CreateFontA(10, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                         DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif")) {}
    ~Shrift() {
        if (h_) DeleteObject(h_);
    }
    Shrift(const Shrift&) = delete;
    Shrift& operator=(const Shrift&) = delete;
    HFONT Vz() const { return h_; }

private:
    HFONT h_;
};

// The main window, destroyed with its controls when the thread leaves its loop.
class Okno {
public:
    explicit Okno(HWND h) : h_(h) {}
    ~Okno() {
        if (h_ && IsWindow(h_)) DestroyWindow(h_);
    }
    Okno(const Okno&) = delete;
    Okno& operator=(const Okno&) = delete;
    HWND Vz() const { return h_; }

private:
    HWND h_;
};

// One text control of the window: x 19, width 589, height 20.
HWND Metka(HWND okno, HINSTANCE modul, int id, int y, const std::string& tekst, HFONT shrift) {
    HWND h =
        CreateWindowExA(0, "STATIC", tekst.c_str(), WS_CHILD | WS_VISIBLE, 19, y, 589, 20, okno,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), modul, nullptr);
    if (h && shrift) SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(shrift), FALSE);
    return h;
}

// Runs the thread's loop; thread messages go to the main window. Returns the quit code.
DWORD Cikl(HWND okno) {
    MSG m;
    BOOL r;
    while ((r = GetMessageA(&m, nullptr, 0, 0)) != 0) {
        if (r == -1) return 0;
        if (m.hwnd == nullptr) m.hwnd = okno;
        DispatchMessageA(&m);
    }
    return static_cast<DWORD>(m.wParam);
}

} // namespace

// Thread procedure of the progress window; owns and deletes the text block (see ZyProgres.h).
// Nothing may leave the thread: a window that cannot get the memory for its texts is not shown.
DWORD WINAPI ZyProgresPotok(void* tekstBlok) {
    unsigned char* blok = static_cast<unsigned char*>(tekstBlok);
    Teksty t;
    try {
        t = ChitatBlok(blok);
    } catch (...) {
        delete[] blok;
        return 0;
    }
    delete[] blok;

    const HINSTANCE modul = Modul();
    if (!ZaregistrirovatKlass(modul)) return 0;
    Shrift shrift;
    Okno okno(CreateWindowExA(0, kKlass, t.zagolovok.c_str(),
                              WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                              CW_USEDEFAULT, kShirina, kVysota, nullptr, nullptr, modul, nullptr));
    if (!okno.Vz()) return 0;
    Metka(okno.Vz(), modul, 1, 10, t.metka1, shrift.Vz());
    Metka(okno.Vz(), modul, 2, 30, t.istochnik, shrift.Vz());
    Metka(okno.Vz(), modul, 3, 50, t.metka2, shrift.Vz());
    Metka(okno.Vz(), modul, 4, 70, t.priemnik, shrift.Vz());
    HWND mesto = Metka(okno.Vz(), modul, 5, 100, std::string(), shrift.Vz());
    if (mesto) SendMessageA(okno.Vz(), kSozdatPolosu, reinterpret_cast<WPARAM>(mesto), 0);
    return Cikl(okno.Vz());
}

} // namespace Quorvel
