// Helpers of the file-object tests.
#include "fajl_pomoshch.h"

#include <atomic>

#include "ZyTestOzhidanie.h"

namespace zytest {

std::string tekstOtcheta(DWORD oshibka, const char* funkcija, unsigned serial, const char* modul) {
    return SistemnyjTekst(oshibka) + "Module: \"" + modul + "\"::Function: \"" + funkcija +
           "\"::Serial: \"" + std::to_string(serial) + "\"";
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

HANDLE zapustitPomoshnika(const std::string& argumenty) {
    return ZapustitSebja("self --pomoshnik " + argumenty);
}

// ---- Replacements for the system-call table ---------------------------------------------

namespace {

Quorvel::ZYS_SIST_VYZOVY gIshodnaja; // the real functions while a replacement is active
std::atomic<int> gOtobrazhenij{0};   // MapViewOfFile, ReadFile and WriteFile calls
std::atomic<int> gSbojOtobr{0};      // the one of those calls that fails (0 none)
DWORD gOshibkaOtobr = 0;
std::atomic<int> gSozdanij{0};
std::atomic<int> gSbojSozd{0};
DWORD gOshibkaSozd = 0;
uint64_t gVirtualnaja = 0, gFizicheskaja = 0;
std::atomic<int> gVydelenij{0};                 // HeapAlloc calls
std::atomic<int> gSbojVyd{0};                   // the HeapAlloc call that fails (0 none)
std::atomic<int> gChtenij{0}, gZapisej{0};      // ReadFile and WriteFile calls
std::atomic<int> gSbojChten{0}, gSbojZapisi{0}; // the ReadFile or WriteFile call that fails
DWORD gOshibkaVvoda = 0;
bool gChastichno = false; // a failing write writes half its bytes first
bool gBezBufera = false;  // offsets, lengths and addresses must be multiples of 512

// True when the call that counts as step `nomer` of the shared sequence or of its own must fail
// (the last error is then set).
bool sbojShaga(int obshij, int svoj, int sbojSvoj) {
    if (obshij == gSbojOtobr) {
        SetLastError(gOshibkaOtobr);
        return true;
    }
    if (svoj == sbojSvoj) {
        SetLastError(gOshibkaVvoda);
        return true;
    }
    return false;
}

// An unbuffered handle's rule for one read or write.
bool nevyrovneno(const void* buf, DWORD n, const OVERLAPPED* o) {
    return gBezBufera &&
           (reinterpret_cast<uintptr_t>(buf) % 512 || n % 512 || !o || o->Offset % 512);
}

BOOL WINAPI podmenaRead(HANDLE h, LPVOID buf, DWORD n, LPDWORD sdelano, LPOVERLAPPED o) {
    if (sbojShaga(++gOtobrazhenij, ++gChtenij, gSbojChten)) return FALSE;
    if (nevyrovneno(buf, n, o)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return gIshodnaja.ReadFile(h, buf, n, sdelano, o);
}

BOOL WINAPI podmenaWrite(HANDLE h, LPCVOID buf, DWORD n, LPDWORD sdelano, LPOVERLAPPED o) {
    if (sbojShaga(++gOtobrazhenij, ++gZapisej, gSbojZapisi)) {
        const DWORD oshibka = GetLastError();
        DWORD polovina = 0;
        if (gChastichno && n > 1) gIshodnaja.WriteFile(h, buf, n / 2, &polovina, o);
        SetLastError(oshibka);
        return FALSE;
    }
    if (nevyrovneno(buf, n, o)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return gIshodnaja.WriteFile(h, buf, n, sdelano, o);
}

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

LPVOID WINAPI podmenaHeapAlloc(HANDLE h, DWORD f, SIZE_T n) {
    if (++gVydelenij == gSbojVyd) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return gIshodnaja.HeapAlloc(h, f, n);
}

int WINAPI podmenaCompare(LCID, DWORD, LPCSTR, int, LPCSTR, int) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
}

UINT WINAPI podmenaTempName(LPCSTR, LPCSTR, UINT, LPSTR) {
    SetLastError(ERROR_ACCESS_DENIED);
    return 0;
}

HANDLE WINAPI podmenaCreateFile(LPCSTR imja, DWORD d, DWORD sh, LPSECURITY_ATTRIBUTES sa, DWORD r,
                                DWORD f, HANDLE t) {
    const std::string s(imja);
    const std::string hvost = ".ZYKFAJL64-zhurnal";
    if ((r == CREATE_NEW || r == OPEN_ALWAYS) && s.size() > hvost.size() &&
        s.compare(s.size() - hvost.size(), hvost.size(), hvost) == 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    return gIshodnaja.CreateFileA(imja, d, sh, sa, r, f, t);
}

HANDLE gZatvor = nullptr; // the gate whose first wait appends gDobavka to gPutDobavki
std::string gPutDobavki;
std::vector<unsigned char> gDobavka;

DWORD WINAPI podmenaWait(HANDLE h, DWORD ms) {
    if (h == gZatvor && !gDobavka.empty()) {
        HANDLE f = CreateFileA(gPutDobavki.c_str(), GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        if (f != INVALID_HANDLE_VALUE) {
            SetFilePointer(f, 0, nullptr, FILE_END);
            DWORD z = 0;
            WriteFile(f, gDobavka.data(), DWORD(gDobavka.size()), &z, nullptr);
            CloseHandle(f);
        }
        gDobavka.clear();
    }
    return gIshodnaja.WaitForSingleObject(h, ms);
}

UINT WINAPI podmenaDriveType(LPCSTR) {
    return DRIVE_REMOTE;
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
    gChtenij = gZapisej = gSbojChten = gSbojZapisi = 0;
    gBezBufera = gChastichno = false;
    t_->MapViewOfFile = podmenaMapView;
    t_->ReadFile = podmenaRead;
    t_->WriteFile = podmenaWrite;
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

void PodmenaVyzovov::sbojVydelenija(int n) {
    gSbojVyd = gVydelenij + n;
    t_->HeapAlloc = podmenaHeapAlloc;
}

void PodmenaVyzovov::sbojSravnenija() {
    t_->CompareStringA = podmenaCompare;
}

void PodmenaVyzovov::sbojVremennogoImeni() {
    t_->GetTempFileNameA = podmenaTempName;
}

void PodmenaVyzovov::sbojZhurnala() {
    t_->CreateFileA = podmenaCreateFile;
}

void PodmenaVyzovov::dopisatPriZatvore(HANDLE zatvor, const std::string& put,
                                       const std::vector<unsigned char>& dobavka) {
    gZatvor = zatvor;
    gPutDobavki = put;
    gDobavka = dobavka;
    t_->WaitForSingleObject = podmenaWait;
}

void PodmenaVyzovov::udalennyjDisk() {
    t_->GetDriveTypeA = podmenaDriveType;
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

void PodmenaVyzovov::sbojVvoda(bool chtenie, int n, DWORD oshibka, bool chastichno) {
    gOshibkaVvoda = oshibka;
    gChastichno = chastichno;
    if (chtenie)
        gSbojChten = gChtenij + n;
    else
        gSbojZapisi = gZapisej + n;
}

void PodmenaVyzovov::bezBuferizacii() {
    gBezBufera = true;
}

int PodmenaVyzovov::vyzovovChtenija() const {
    return gChtenij;
}

int PodmenaVyzovov::vyzovovZapisi() const {
    return gZapisej;
}

} // namespace zytest
