// Test and benchmark helper: a counting wrapper around the large-file library's system-call
// table (ZySistVyzovy.h). While a ZySchetVyzovov lives, every entry counts its calls and the
// time they take, so that one small operation can be broken down into the system calls it
// makes, and a test can pin them.
#ifndef ZYSCHETVYZOVOV_H
#define ZYSCHETVYZOVOV_H

#include <windows.h>

#include <cstdio>
#include <string>

#include "ZySistVyzovy.h"

namespace zytest::schet {

using Quorvel::ZYS_SIST_VYZOVY;

// The entries of the table, in the order they are printed.
#define SCHET_VYZOVY(X)                                                                            \
    X(CreateFileA)                                                                                 \
    X(GetFileInformationByHandle)                                                                  \
    X(CreateFileMappingA)                                                                          \
    X(MapViewOfFile)                                                                               \
    X(UnmapViewOfFile)                                                                             \
    X(FlushViewOfFile)                                                                             \
    X(FlushFileBuffers)                                                                            \
    X(SetFilePointerEx)                                                                            \
    X(SetEndOfFile)                                                                                \
    X(SetFileTime)                                                                                 \
    X(CloseHandle)                                                                                 \
    X(CreateMutexA)                                                                                \
    X(CreateEventA)                                                                                \
    X(CreateSemaphoreA)                                                                            \
    X(ReleaseSemaphore)                                                                            \
    X(SetEvent)                                                                                    \
    X(WaitForSingleObject)                                                                         \
    X(WaitForMultipleObjects)                                                                      \
    X(GlobalMemoryStatusEx)                                                                        \
    X(CreateThread)                                                                                \
    X(CompareStringA)                                                                              \
    X(GetTempFileNameA)                                                                            \
    X(HeapAlloc)                                                                                   \
    X(RegisterClassExA)                                                                            \
    X(ReadFile)                                                                                    \
    X(WriteFile)                                                                                   \
    X(GetOverlappedResult)                                                                         \
    X(GetDriveTypeA)                                                                               \
    X(ReleaseMutex)                                                                                \
    X(GetFileSizeEx)                                                                               \
    X(GetFileTime)                                                                                 \
    X(SetFileInformationByHandle)                                                                  \
    X(GetFileAttributesExA)                                                                        \
    X(LockFileEx)                                                                                  \
    X(UnlockFileEx)

enum Nomer {
#define SCHET_NOMER(imja) n_##imja,
    SCHET_VYZOVY(SCHET_NOMER)
#undef SCHET_NOMER
        kVyzovov
};

inline const char* const kImena[] = {
#define SCHET_IMJA(imja) #imja,
    SCHET_VYZOVY(SCHET_IMJA)
#undef SCHET_IMJA
};

// Counts and times of the entries, and the real table.
struct Dannye {
    unsigned long long raz[kVyzovov] = {};
    double sekund[kVyzovov] = {};
    ZYS_SIST_VYZOVY ishodnaja{};
};
inline Dannye gDannye;

// Seconds on the performance counter.
inline double sejchas() {
    static const double chastota = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return double(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) / chastota;
}

// The wrapper of entry I whose pointer type is T.
template <int I, typename T> struct Obertka;
template <int I, typename R, typename... A> struct Obertka<I, R(WINAPI*)(A...)> {
    using Ukazatel = R(WINAPI*)(A...);
    static Ukazatel ishodnyj;
    static R WINAPI vyzov(A... a) {
        const double t0 = sejchas();
        R r = ishodnyj(a...);
        const DWORD oshibka = GetLastError();
        gDannye.sekund[I] += sejchas() - t0;
        ++gDannye.raz[I];
        SetLastError(oshibka);
        return r;
    }
};
template <int I, typename R, typename... A>
typename Obertka<I, R(WINAPI*)(A...)>::Ukazatel Obertka<I, R(WINAPI*)(A...)>::ishodnyj;

// Installs the wrappers for its lifetime; the counts start at 0.
class ZySchetVyzovov {
public:
    ZySchetVyzovov() : t_(*ZyKFajl64SistVyzovy()) {
        gDannye = Dannye{};
        gDannye.ishodnaja = t_;
#define SCHET_USTANOVIT(imja)                                                                      \
    Obertka<n_##imja, decltype(t_.imja)>::ishodnyj = t_.imja;                                      \
    t_.imja = &Obertka<n_##imja, decltype(t_.imja)>::vyzov;
        SCHET_VYZOVY(SCHET_USTANOVIT)
#undef SCHET_USTANOVIT
    }
    ~ZySchetVyzovov() {
        t_ = gDannye.ishodnaja;
    }
    ZySchetVyzovov(const ZySchetVyzovov&) = delete;
    ZySchetVyzovov& operator=(const ZySchetVyzovov&) = delete;

    // Forgets the counts so far.
    void sbrosit() {
        for (int i = 0; i < kVyzovov; ++i) {
            gDannye.raz[i] = 0;
            gDannye.sekund[i] = 0;
        }
    }
    // Calls of every entry since the last reset.
    unsigned long long vsego() const {
        unsigned long long n = 0;
        for (int i = 0; i < kVyzovov; ++i)
            n += gDannye.raz[i];
        return n;
    }
    // Calls of one entry since the last reset.
    unsigned long long raz(Nomer n) const {
        return gDannye.raz[n];
    }
    // "Name N" of every entry called since the last reset, in the order of the table.
    std::string spisok() const {
        std::string s;
        for (int i = 0; i < kVyzovov; ++i) {
            if (!gDannye.raz[i]) continue;
            if (!s.empty()) s += ", ";
            s += std::string(kImena[i]) + " " + std::to_string(gDannye.raz[i]);
        }
        return s;
    }
    // "Name xN (t us)" of every entry called, per operation of `operacij` runs.
    std::string opis(int operacij) const {
        std::string s;
        char b[96];
        for (int i = 0; i < kVyzovov; ++i) {
            if (!gDannye.raz[i]) continue;
            std::snprintf(b, sizeof b, " %s x%.4g (%.0f us)", kImena[i],
                          double(gDannye.raz[i]) / operacij, gDannye.sekund[i] / operacij * 1e6);
            s += b;
        }
        return s;
    }

private:
    ZYS_SIST_VYZOVY& t_;
};

} // namespace zytest::schet

#endif // ZYSCHETVYZOVOV_H
