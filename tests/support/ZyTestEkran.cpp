// Screen captures through ImageMagick's `import` (see ZyTestEkran.h).
#include "ZyTestEkran.h"

#include "ZyTestOzhidanie.h"

#include <cstdio>
#include <cctype>
#include <cstring>

namespace zytest {

namespace {

// The Unix path of a Windows path (Wine's kernel32 converts it); empty when it cannot.
std::string UnixPut(const std::string& put) {
    using Fyn = char*(CDECL*)(LPCWSTR);
    auto f = reinterpret_cast<Fyn>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!f) return {};
    wchar_t shirokij[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, put.c_str(), -1, shirokij, MAX_PATH);
    char* u = f(shirokij);
    if (!u) return {};
    std::string r(u);
    HeapFree(GetProcessHeap(), 0, u);
    return r;
}

// Skips white space and comments of a PPM header.
void Probely(const std::vector<unsigned char>& d, size_t& i) {
    while (i < d.size() && (std::isspace(d[i]) || d[i] == '#')) {
        if (d[i] == '#')
            while (i < d.size() && d[i] != '\n')
                ++i;
        else
            ++i;
    }
}

// The next decimal number of a PPM header.
long Chislo(const std::vector<unsigned char>& d, size_t& i) {
    Probely(d, i);
    long n = 0;
    while (i < d.size() && d[i] >= '0' && d[i] <= '9')
        n = n * 10 + (d[i++] - '0');
    return n;
}

// Reads a binary PPM (P6, maximum 255) into the capture.
void ChitatPPM(const std::vector<unsigned char>& d, Snimok& s) {
    size_t i = 2;
    if (d.size() < 2 || d[0] != 'P' || d[1] != '6') {
        s.oshibka = "not a binary PPM";
        return;
    }
    const long w = Chislo(d, i), h = Chislo(d, i), maks = Chislo(d, i);
    ++i; // the one white-space byte before the pixels
    const size_t n = static_cast<size_t>(w) * static_cast<size_t>(h) * 3;
    if (maks != 255 || w <= 0 || h <= 0 || d.size() < i + n) {
        s.oshibka = "unexpected PPM header or size";
        return;
    }
    s.rgb.assign(d.begin() + static_cast<long>(i), d.begin() + static_cast<long>(i + n));
    s.shirina = w;
    s.vysota = h;
}

// The whole file.
std::vector<unsigned char> Fajl(const std::string& put) {
    std::vector<unsigned char> d;
    if (FILE* f = std::fopen(put.c_str(), "rb")) {
        unsigned char buf[65536];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            d.insert(d.end(), buf, buf + n);
        std::fclose(f);
    }
    return d;
}

} // namespace

COLORREF Snimok::Piksel(long x, long y) const {
    if (x < 0 || y < 0 || x >= shirina || y >= vysota) return CLR_INVALID;
    const unsigned char* p = &rgb[(static_cast<size_t>(y) * shirina + x) * 3];
    return RGB(p[0], p[1], p[2]);
}

long Snimok::NeChernyh(const RECT& r) const {
    long n = 0;
    for (long y = r.top; y < r.bottom; ++y)
        for (long x = r.left; x < r.right; ++x) {
            const COLORREF c = Piksel(x, y);
            if (c != CLR_INVALID && c != RGB(0, 0, 0)) ++n;
        }
    return n;
}

Snimok SnjatEkran(DWORD ms) {
    Snimok s;
    char polnyj[MAX_PATH] = {};
    char imja[64];
    std::snprintf(imja, sizeof imja, "ekran-%lu.ppm", GetCurrentProcessId());
    GetFullPathNameA(imja, MAX_PATH, polnyj, nullptr);
    const std::string unixPut = UnixPut(polnyj);
    if (unixPut.empty()) {
        s.oshibka = "no Unix path for the capture file (not under Wine?)";
        return s;
    }
    DeleteFileA(polnyj);
    std::string komanda = "Z:\\usr\\bin\\import -window root -depth 8 ppm:" + unixPut;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, &komanda[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi)) {
        s.oshibka = "import could not be started (ImageMagick missing?)";
        return s;
    }
    // NOTE: Wine's handle of a Unix process cannot be waited for (the wait fails at once):
    // the capture is complete once the file holds the whole picture its header announces.
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    const bool gotovo = ZhdatPoka(
        [&] {
            s = Snimok{};
            ChitatPPM(Fajl(polnyj), s);
            return s.Est();
        },
        ms);
    DeleteFileA(polnyj);
    if (!gotovo) s.oshibka = "import wrote no complete picture (" + s.oshibka + ")";
    return s;
}

RECT KlientNaEkrane(HWND okno) {
    RECT r{};
    GetClientRect(okno, &r);
    POINT p{0, 0};
    ClientToScreen(okno, &p);
    OffsetRect(&r, p.x, p.y);
    return r;
}

} // namespace zytest
