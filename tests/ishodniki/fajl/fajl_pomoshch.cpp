// Helpers of the file-object tests.
#include "fajl_pomoshch.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace zytest {

namespace {

constexpr DWORD kPauza = 5;             // ms between looks for a box
constexpr DWORD kZhdatZakrytija = 5000; // ms a pressed box may take to go

// True for a dialog window of this process that was not handled yet.
bool nashaKorobka(HWND h) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    return pid == GetCurrentProcessId() && IsWindowVisible(h);
}

} // namespace

NabljudatelKorobok::NabljudatelKorobok(int knopka) : knopka_(knopka) {
    stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    potok_ = CreateThread(nullptr, 0, potok, this, 0, nullptr);
}

NabljudatelKorobok::~NabljudatelKorobok() {
    SetEvent(stop_);
    if (potok_) {
        WaitForSingleObject(potok_, 10000);
        CloseHandle(potok_);
    }
    CloseHandle(stop_);
}

DWORD WINAPI NabljudatelKorobok::potok(void* p) {
    static_cast<NabljudatelKorobok*>(p)->cikl();
    return 0;
}

// Finds each box, records it, presses the button and waits (bounded) until it has gone.
void NabljudatelKorobok::cikl() {
    while (WaitForSingleObject(stop_, kPauza) == WAIT_TIMEOUT) {
        HWND h = nullptr;
        while ((h = FindWindowExA(nullptr, h, "#32770", nullptr)) != nullptr) {
            if (!nashaKorobka(h)) continue;
            Korobka k;
            char buf[2048];
            buf[0] = 0;
            GetWindowTextA(h, buf, sizeof buf);
            k.zagolovok = buf;
            buf[0] = 0;
            GetDlgItemTextA(h, 0xFFFF, buf, sizeof buf);
            k.tekst = buf;
            {
                std::lock_guard<std::mutex> z(m_);
                korobki_.push_back(k);
            }
            if (getenv("ZY_TEST_KOROBKI"))
                fprintf(stderr, "[box] %s | %s\n", k.zagolovok.c_str(), k.tekst.c_str());
            PostMessageA(h, WM_COMMAND, knopka_, 0);
            for (DWORD t = 0; IsWindow(h) && t < kZhdatZakrytija; t += kPauza)
                if (WaitForSingleObject(stop_, kPauza) != WAIT_TIMEOUT) return;
            break;
        }
    }
}

std::vector<Korobka> NabljudatelKorobok::korobki() {
    std::lock_guard<std::mutex> z(m_);
    return korobki_;
}

bool NabljudatelKorobok::zhdat(size_t n, DWORD ms) {
    for (DWORD t = 0;; t += kPauza) {
        {
            std::lock_guard<std::mutex> z(m_);
            if (korobki_.size() >= n) return true;
        }
        if (t >= ms) return false;
        WaitForSingleObject(stop_, kPauza);
    }
}

void NabljudatelKorobok::zabyt() {
    std::lock_guard<std::mutex> z(m_);
    korobki_.clear();
}

std::string tekstOshibki(DWORD oshibka) {
    char* sistemnyj = nullptr;
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, oshibka,
                   0x400, reinterpret_cast<char*>(&sistemnyj), 0, nullptr);
    std::string s = sistemnyj ? sistemnyj : "";
    if (sistemnyj) LocalFree(sistemnyj);
    return s;
}

std::string tekstOtcheta(DWORD oshibka, const char* funkcija, unsigned serial, const char* modul) {
    return tekstOshibki(oshibka) + "Module: \"" + modul + "\"::Function: \"" + funkcija +
           "\"::Serial: \"" + std::to_string(serial) + "\"";
}

std::string tekushajaPapka() {
    char buf[MAX_PATH];
    DWORD n = GetCurrentDirectoryA(MAX_PATH, buf);
    std::string s(buf, n);
    if (!s.empty() && s.back() == '\\') s.pop_back();
    return s;
}

bool zapisatFajl(const std::string& imja, const std::vector<unsigned char>& dannye) {
    HANDLE h = CreateFileA(imja.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD n = 0;
    const BOOL ok =
        dannye.empty() || WriteFile(h, dannye.data(), DWORD(dannye.size()), &n, nullptr);
    CloseHandle(h);
    return ok && n == dannye.size();
}

std::vector<unsigned char> prochitatFajl(const std::string& imja) {
    std::vector<unsigned char> v;
    HANDLE h = CreateFileA(imja.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return v;
    LARGE_INTEGER r;
    GetFileSizeEx(h, &r);
    v.resize(size_t(r.QuadPart));
    DWORD n = 0;
    if (!v.empty()) ReadFile(h, v.data(), DWORD(v.size()), &n, nullptr);
    v.resize(n);
    CloseHandle(h);
    return v;
}

int64_t razmerFajla(const std::string& imja) {
    WIN32_FILE_ATTRIBUTE_DATA d;
    if (!GetFileAttributesExA(imja.c_str(), GetFileExInfoStandard, &d)) return -1;
    return (int64_t(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
}

std::vector<unsigned char> uzor(size_t n, unsigned seed) {
    std::vector<unsigned char> v(n);
    uint32_t x = 2463534242u ^ seed;
    for (size_t i = 0; i < n; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        v[i] = static_cast<unsigned char>(x);
    }
    return v;
}

int otkrytZapis(ZYKFAJL64& f, const std::string& imja) {
    return f(imja.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
             nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

int otkrytChtenie(ZYKFAJL64& f, const std::string& imja) {
    return f(imja.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
             FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::vector<unsigned char> soderzhimoe(ZYKFAJL64& f) {
    f.TestDan();
    std::vector<unsigned char> v(size_t(u64(f.Razmer)));
    if (!v.empty() && f.Kop(v.data(), nb(0), (unsigned long)v.size()) == 0) v.clear();
    return v;
}

// ---- Replacements for the system-call table ---------------------------------------------

namespace {

Quorvel::ZYS_SIST_VYZOVY gIshodnaja; // the real functions while a replacement is active
std::atomic<int> gOtobrazhenij{0};   // MapViewOfFile calls
std::atomic<int> gSbojOtobr{0};      // the MapViewOfFile call that fails (0 none)
DWORD gOshibkaOtobr = 0;
std::atomic<int> gSozdanij{0};
std::atomic<int> gSbojSozd{0};
DWORD gOshibkaSozd = 0;
uint64_t gVirtualnaja = 0, gFizicheskaja = 0;

LPVOID WINAPI podmenaMapView(HANDLE h, DWORD d, DWORD hi, DWORD lo, SIZE_T n) {
    if (++gOtobrazhenij == gSbojOtobr) {
        SetLastError(gOshibkaOtobr);
        return nullptr;
    }
    return gIshodnaja.MapViewOfFile(h, d, hi, lo, n);
}

HANDLE WINAPI podmenaCreateMapping(HANDLE h, LPSECURITY_ATTRIBUTES sa, DWORD p, DWORD hi, DWORD lo,
                                   LPCSTR imja) {
    if (++gSozdanij == gSbojSozd) {
        SetLastError(gOshibkaSozd);
        return nullptr;
    }
    return gIshodnaja.CreateFileMappingA(h, sa, p, hi, lo, imja);
}

int WINAPI podmenaCompare(LCID, DWORD, LPCSTR, int, LPCSTR, int) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
}

UINT WINAPI podmenaTempName(LPCSTR, LPCSTR, UINT, LPSTR) {
    SetLastError(ERROR_ACCESS_DENIED);
    return 0;
}

BOOL WINAPI podmenaSetEnd(HANDLE) {
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

BOOL WINAPI podmenaMemory(LPMEMORYSTATUSEX ms) {
    if (!gIshodnaja.GlobalMemoryStatusEx(ms)) return FALSE;
    ms->ullAvailVirtual = gVirtualnaja;
    ms->ullAvailPhys = gFizicheskaja;
    return TRUE;
}

} // namespace

PodmenaVyzovov::PodmenaVyzovov() : t_(ZyKFajl64SistVyzovy()), sohranennaja_(*t_) {
    gIshodnaja = sohranennaja_;
    gOtobrazhenij = 0;
    gSbojOtobr = 0;
    gSozdanij = 0;
    gSbojSozd = 0;
    t_->MapViewOfFile = podmenaMapView;
}

PodmenaVyzovov::~PodmenaVyzovov() {
    *t_ = sohranennaja_;
}

void PodmenaVyzovov::sbojOtobrazhenija(int n, DWORD oshibka) {
    gOshibkaOtobr = oshibka;
    gSbojOtobr = gOtobrazhenij + n;
}

void PodmenaVyzovov::sbojSozdanijaOtobrazhenija(int n, DWORD oshibka) {
    gOshibkaSozd = oshibka;
    gSbojSozd = gSozdanij + n;
    t_->CreateFileMappingA = podmenaCreateMapping;
}

void PodmenaVyzovov::sbojSravnenija() {
    t_->CompareStringA = podmenaCompare;
}

void PodmenaVyzovov::sbojVremennogoImeni() {
    t_->GetTempFileNameA = podmenaTempName;
}

void PodmenaVyzovov::polnyjDisk() {
    t_->SetEndOfFile = podmenaSetEnd;
}

void PodmenaVyzovov::pamjat(uint64_t virtualnaja, uint64_t fizicheskaja) {
    gVirtualnaja = virtualnaja;
    gFizicheskaja = fizicheskaja;
    t_->GlobalMemoryStatusEx = podmenaMemory;
}

int PodmenaVyzovov::vyzovovOtobrazhenija() const {
    return gOtobrazhenij;
}

} // namespace zytest
