// ZyFFajl64: free functions of the large-file library: the space of a disk, creation of a
// directory path with its missing parents, centring a window over another, and the child
// window with a given identifier.
#include "ZyKFajl64.h"

#include <cstring>

namespace {

constexpr unsigned kDlinaPuti = MAX_PATH; // 260: a full path is shorter than this

// A module loaded for the lifetime of the object.
class Modul {
public:
    explicit Modul(const char* imja) : h_(LoadLibraryA(imja)) {}
    ~Modul() {
        if (h_) FreeLibrary(h_);
    }
    Modul(const Modul&) = delete;
    Modul& operator=(const Modul&) = delete;
    HMODULE Vz() const { return h_; }

private:
    HMODULE h_;
};

// A window's device context, released when the object goes.
class KontekstOkna {
public:
    explicit KontekstOkna(HWND okno) : okno_(okno), dc_(GetDC(okno)) {}
    ~KontekstOkna() {
        if (dc_) ReleaseDC(okno_, dc_);
    }
    KontekstOkna(const KontekstOkna&) = delete;
    KontekstOkna& operator=(const KontekstOkna&) = delete;
    HDC Vz() const { return dc_; }

private:
    HWND okno_;
    HDC dc_;
};

using FnGetDiskFreeSpaceExA = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER,
                                            PULARGE_INTEGER);

// True when the platform has GetDiskFreeSpaceExA: the NT family, or a Windows 95 build
// above 1000 (OSR2 and later).
bool EstRasshirennyjZapros() {
    OSVERSIONINFOA v;
    std::memset(&v, 0, sizeof v);
    v.dwOSVersionInfoSize = sizeof v;
    if (!GetVersionExA(&v)) return false;
    return v.dwPlatformId == VER_PLATFORM_WIN32_NT ||
           (v.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && LOWORD(v.dwBuildNumber) > 1000);
}

// The extended query through kernel32, looked up by name. -1 when the function is missing.
int ZaprosRasshirennyj(const char* put, Quorvel::ZYKNB64* dostupno, Quorvel::ZYKNB64* vsego,
                       Quorvel::ZYKNB64* svobodno) {
    static_assert(sizeof(Quorvel::ZYKNB64) == sizeof(ULARGE_INTEGER),
                  "ZYKNB64 has the layout of ULARGE_INTEGER (low half first)");
    Modul kernel("KERNEL32.DLL");
    if (!kernel.Vz()) return -1;
    // NOTE: the detour through a plain function pointer type keeps -Wcast-function-type
    // quiet; FARPROC does not describe the real signature.
    const auto fn = reinterpret_cast<FnGetDiskFreeSpaceExA>(
        reinterpret_cast<void (*)()>(GetProcAddress(kernel.Vz(), "GetDiskFreeSpaceExA")));
    if (!fn) return -1;
    return fn(put, reinterpret_cast<PULARGE_INTEGER>(dostupno),
              reinterpret_cast<PULARGE_INTEGER>(vsego), reinterpret_cast<PULARGE_INTEGER>(svobodno))
               ? 1
               : 0;
}

// The older query by drive ("C:"): cluster counts times the bytes of a cluster. The free
// space of the caller and of the disk are then the same value.
int ZaprosStaryj(const char* put, Quorvel::ZYKNB64* dostupno, Quorvel::ZYKNB64* vsego,
                 Quorvel::ZYKNB64* svobodno) {
    char disk[3] = {0, 0, 0};
    if (put && put[0] && put[1]) {
        disk[0] = put[0];
        disk[1] = put[1];
    }
    DWORD sektorov = 0, bajtov = 0, svobodnyh = 0, klasterov = 0;
    if (dostupno) *dostupno = Quorvel::ZYKNB64{0, 0};
    if (vsego) *vsego = Quorvel::ZYKNB64{0, 0};
    if (!GetDiskFreeSpaceA(disk[0] ? disk : nullptr, &sektorov, &bajtov, &svobodnyh, &klasterov))
        return 0;
    const unsigned long klaster = sektorov * bajtov;
    const Quorvel::ZYKNB64 svob = Quorvel::ZYKNB64{svobodnyh, 0} * klaster;
    if (dostupno) *dostupno = svob;
    if (vsego) *vsego = Quorvel::ZYKNB64{klasterov, 0} * klaster;
    if (svobodno) *svobodno = svob;
    return 1;
}

// True when the path is taken as a full path: "\" or ":" as second character, or "\" as
// third ("C:\...", "\\server\...", "C:...").
bool EstPolnyjPut(const char* put) {
    return put[0] != 0 && (put[1] == '\\' || put[1] == ':' || (put[1] != 0 && put[2] == '\\'));
}

// Forms the full path of `put` into `polnyj` (kDlinaPuti bytes): as it is, or joined to the
// current directory. False when the current directory cannot be read or the full path does
// not fit (it must be shorter than 260 characters).
bool PolnyjPut(const char* put, char* polnyj) {
    std::size_t dlina = std::strlen(put);
    if (EstPolnyjPut(put)) {
        if (dlina >= kDlinaPuti) return false;
        std::memcpy(polnyj, put, dlina + 1);
        return true;
    }
    const DWORD tek = GetCurrentDirectoryA(kDlinaPuti, polnyj);
    if (tek == 0 || tek >= kDlinaPuti) return false;
    // A root directory ("C:\") already ends with the separator.
    const bool kornevoj = polnyj[tek - 1] == '\\';
    if (kornevoj && put[0] == '\\') ++put, --dlina;
    const bool razdel = put[0] != '\\' && !kornevoj;
    if (tek + (razdel ? 1 : 0) + dlina >= kDlinaPuti) return false;
    char* p = polnyj + tek;
    if (razdel) *p++ = '\\';
    std::memcpy(p, put, dlina + 1);
    return true;
}

// Drops separators at the end of a path ("a\b\" names the directory "a\b"), but keeps the
// one of a root ("C:\", "\").
void UbratKonechnyeRazdeliteli(char* put) {
    std::size_t n = std::strlen(put);
    while (n > 1 && (put[n - 1] == '\\' || put[n - 1] == '/') && put[n - 2] != ':')
        put[--n] = 0;
}

bool EstRazdelitel(char c) {
    return c == '\\' || c == '/';
}

// Creates each directory of the path that ends just before a separator, from the left.
// Failures are ignored: most of them exist already.
void SozdatRoditelej(char* put, SECURITY_ATTRIBUTES* sa) {
    for (char* p = put; *p; ++p) {
        if (!EstRazdelitel(*p) || p == put) continue;
        const char c = *p;
        *p = 0;
        CreateDirectoryA(put, sa);
        *p = c;
    }
}

// Centre of a span of `dlinaOkna` over [nachalo, konec), kept within [0, ekran).
int Centr(long nachalo, long konec, long dlinaOkna, long ekran) {
    long x = nachalo + (konec - nachalo - dlinaOkna) / 2;
    if (x < 0)
        x = 0;
    else if (ekran > 0 && x + dlinaOkna > ekran)
        x = ekran - dlinaOkna;
    return static_cast<int>(x);
}

} // namespace

namespace Quorvel {

// Free space for the caller, total size and total free space of the disk holding `path`
// (null: the current disk); any result pointer may be null. Non-zero on success.
int ZyVzDiskovoeProstranstvo(const char* path, ZYKNB64* svobodnoDostupno, ZYKNB64* vsego,
                             ZYKNB64* vsegoSvobodno) {
    if (EstRasshirennyjZapros()) {
        const int r = ZaprosRasshirennyj(path, svobodnoDostupno, vsego, vsegoSvobodno);
        if (r >= 0) return r;
    }
    return ZaprosStaryj(path, svobodnoDostupno, vsego, vsegoSvobodno);
}

} // namespace Quorvel

// Creates the directory `path` with every missing parent. A relative path is taken below the
// current directory. 1 when the last directory was created, -1 when it could not be (it may
// exist already), 0 for a null or empty path or one whose full form has 260 characters or more.
extern "C" int ZySozdatPyt(const char* path, SECURITY_ATTRIBUTES* sa) {
    if (path == nullptr || path[0] == 0) return 0;
    char polnyj[kDlinaPuti];
    if (!PolnyjPut(path, polnyj)) return 0;
    UbratKonechnyeRazdeliteli(polnyj);
    if (CreateDirectoryA(polnyj, sa)) return 1;
    SozdatRoditelej(polnyj, sa);
    return CreateDirectoryA(polnyj, sa) ? 1 : -1;
}

// Centres `okno` over `nad` (null: the desktop), keeps it on the screen, then moves it by
// (dx, dy); its size and Z order stay. A child window is placed in its parent's client
// coordinates. Returns SetWindowPos's result, FALSE when a rectangle cannot be read.
extern "C" BOOL ZyOknoVCentr(HWND okno, HWND nad, int dx, int dy) {
    if (!nad) nad = GetDesktopWindow();
    RECT w, r;
    if (!GetWindowRect(okno, &w) || !GetWindowRect(nad, &r)) return FALSE;
    long ekranX = 0, ekranY = 0;
    {
        KontekstOkna dc(okno);
        if (dc.Vz()) {
            ekranX = GetDeviceCaps(dc.Vz(), HORZRES);
            ekranY = GetDeviceCaps(dc.Vz(), VERTRES);
        }
    }
    POINT p{Centr(r.left, r.right, w.right - w.left, ekranX),
            Centr(r.top, r.bottom, w.bottom - w.top, ekranY)};
    p.x += dx;
    p.y += dy;
    // NOTE: SetWindowPos takes a child's position relative to its parent's client area,
    // while GetWindowRect gives screen coordinates.
    if (GetWindowLongPtrA(okno, GWL_STYLE) & WS_CHILD) {
        if (HWND roditel = GetParent(okno)) MapWindowPoints(nullptr, roditel, &p, 1);
    }
    return SetWindowPos(okno, nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

// The first child of `roditel` whose control identifier is `id`, or null (also for a null
// parent or one without children).
extern "C" HWND ZyVzDocherneeOkno(HWND roditel, int id) {
    if (!roditel) return nullptr;
    for (HWND h = GetWindow(roditel, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
        if (GetWindowLongPtrA(h, GWLP_ID) == id) return h;
    return nullptr;
}
