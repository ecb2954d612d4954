// Injected failures through the system-call tables of both libraries.
#include "ZyTestSboi.h"

#include "ZySistVyzovy.h"
#include "ZyStandartVyzovy.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <vector>

namespace zytest {

namespace {

// The real tables while the wrappers are installed.
Quorvel::ZYS_SIST_VYZOVY gFajl64;
zyst::ZYS_VYZOVY_STANDART gStandart;

std::atomic<unsigned> gVyzovy[kVidovVyzova];
std::atomic<int> gVid{-1};       // the armed kind, -1 none
std::atomic<unsigned> gNomer{0}; // the armed call's number within its kind
std::atomic<bool> gSluchilsja{false};

// Counts a call of `vid`; true when it is the one to fail (then the last error is set).
bool Sboj(ZyVidVyzova vid, DWORD oshibka) {
    const unsigned n = ++gVyzovy[int(vid)];
    if (gVid != int(vid) || n != gNomer) return false;
    gSluchilsja = true;
    SetLastError(oshibka);
    return true;
}

HANDLE WINAPI SozdatFajl(LPCSTR a, DWORD b, DWORD c, LPSECURITY_ATTRIBUTES d, DWORD e, DWORD f,
                         HANDLE g) {
    if (Sboj(ZyVidVyzova::Fajl, ERROR_ACCESS_DENIED)) return INVALID_HANDLE_VALUE;
    return gFajl64.CreateFileA(a, b, c, d, e, f, g);
}
HANDLE WINAPI SozdatOtobrazhenie(HANDLE a, LPSECURITY_ATTRIBUTES b, DWORD c, DWORD d, DWORD e,
                                 LPCSTR f) {
    if (Sboj(ZyVidVyzova::Otobrazhenie, ERROR_NOT_ENOUGH_MEMORY)) return nullptr;
    return gFajl64.CreateFileMappingA(a, b, c, d, e, f);
}
LPVOID WINAPI Otobrazit(HANDLE a, DWORD b, DWORD c, DWORD d, SIZE_T e) {
    if (Sboj(ZyVidVyzova::Vid, ERROR_NOT_ENOUGH_MEMORY)) return nullptr;
    return gFajl64.MapViewOfFile(a, b, c, d, e);
}
LPVOID WINAPI Vydelit(HANDLE a, DWORD b, SIZE_T c) {
    if (Sboj(ZyVidVyzova::Vydelenie, ERROR_NOT_ENOUGH_MEMORY)) return nullptr;
    return gFajl64.HeapAlloc(a, b, c);
}
HANDLE WINAPI SozdatMutex(LPSECURITY_ATTRIBUTES a, BOOL b, LPCSTR c) {
    if (Sboj(ZyVidVyzova::Imennoj, ERROR_ACCESS_DENIED)) return nullptr;
    return gFajl64.CreateMutexA(a, b, c);
}
HANDLE WINAPI SozdatSobytie(LPSECURITY_ATTRIBUTES a, BOOL b, BOOL c, LPCSTR d) {
    if (Sboj(ZyVidVyzova::Imennoj, ERROR_ACCESS_DENIED)) return nullptr;
    return gFajl64.CreateEventA(a, b, c, d);
}
HANDLE WINAPI SozdatSemafor(LPSECURITY_ATTRIBUTES a, LONG b, LONG c, LPCSTR d) {
    if (Sboj(ZyVidVyzova::Imennoj, ERROR_ACCESS_DENIED)) return nullptr;
    return gFajl64.CreateSemaphoreA(a, b, c, d);
}

// One entry of the system's handle list (SystemHandleInformation, class 16).
struct ZyDeskriptor {
    ULONG vladelec; // process id
    BYTE tip, flagi;
    USHORT znachenie;
    PVOID objekt;
    ULONG dostup;
};

using ZyNtQuerySystemInformation = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);

} // namespace

unsigned long DeskriptoryProcessa() {
    DWORD n = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &n) && n > 0) return n;
    // NOTE: Wine answers GetProcessHandleCount with 0; its handle list is complete.
    static const ZyNtQuerySystemInformation zapros =
        reinterpret_cast<ZyNtQuerySystemInformation>(reinterpret_cast<void (*)()>(
            GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!zapros) return 0;
    std::vector<unsigned char> buf(1 << 16);
    for (int popytka = 0; popytka < 16; ++popytka) {
        ULONG nuzhno = 0;
        const LONG st = zapros(16, buf.data(), ULONG(buf.size()), &nuzhno);
        if (st == LONG(0xC0000004)) { // STATUS_INFO_LENGTH_MISMATCH
            buf.resize(std::max<size_t>(buf.size() * 2, nuzhno + 4096));
            continue;
        }
        if (st != 0) return 0;
        ULONG kol;
        std::memcpy(&kol, buf.data(), sizeof kol);
        const size_t nachalo = sizeof(void*) == 8 ? 8 : 4; // the count, padded to the entries
        unsigned long svoih = 0;
        for (ULONG i = 0; i < kol; ++i) {
            ZyDeskriptor d;
            const size_t poz = nachalo + i * sizeof d;
            if (poz + sizeof d > buf.size()) break;
            std::memcpy(&d, buf.data() + poz, sizeof d);
            svoih += d.vladelec == GetCurrentProcessId();
        }
        return svoih;
    }
    return 0;
}

const char* ImjaVida(ZyVidVyzova vid) {
    static const char* const imena[kVidovVyzova] = {"allocation", "mapping", "view",
                                                    "file creation", "named object"};
    return imena[int(vid)];
}

ZySboi::ZySboi() {
    Quorvel::ZYS_SIST_VYZOVY* f = ZyKFajl64SistVyzovy();
    zyst::ZYS_VYZOVY_STANDART* s = ZyStandartSistVyzovy();
    gFajl64 = *f;
    gStandart = *s;
    Vzvesti(ZyVidVyzova::Fajl, 0);
    f->CreateFileA = s->CreateFileA = SozdatFajl;
    f->CreateFileMappingA = s->CreateFileMappingA = SozdatOtobrazhenie;
    f->MapViewOfFile = s->MapViewOfFile = Otobrazit;
    f->HeapAlloc = s->HeapAlloc = Vydelit;
    f->CreateMutexA = s->CreateMutexA = SozdatMutex;
    f->CreateEventA = SozdatSobytie;
    f->CreateSemaphoreA = SozdatSemafor;
}

ZySboi::~ZySboi() {
    *ZyKFajl64SistVyzovy() = gFajl64;
    *ZyStandartSistVyzovy() = gStandart;
}

void ZySboi::Vzvesti(ZyVidVyzova vid, unsigned n) {
    gVid = -1;
    for (std::atomic<unsigned>& v : gVyzovy)
        v = 0;
    gSluchilsja = false;
    gNomer = n;
    if (n) gVid = int(vid);
}

bool ZySboi::Sluchilsja() const {
    return gSluchilsja;
}

unsigned ZySboi::Vyzovov(ZyVidVyzova vid) const {
    return gVyzovy[int(vid)];
}

} // namespace zytest
