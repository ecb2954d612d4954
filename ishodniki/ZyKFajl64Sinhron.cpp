// Cross-process reader/writer locking of ZYKFAJL64, through four objects named after the path:
//   "E" writer gate (auto-reset event, initially signalled): whoever holds it excludes writers;
//   "S" reader pass (semaphore from 0): lets further readers in while readers are active;
//   "P" reader count (4 bytes of the paging file), read and written only under "M";
//   "M" the file's mutex (created by open).
// The first reader closes the gate and opens the pass; the last reader to leave opens the gate.
// Lock order: E or S first, then M; M is never held while waiting for E or S.
#include <windows.h>

#include <cstring>
#include <new>
#include <vector>

#include "ZyKFajl64Vnutr.h"
#include "ZyOtchet.h"
#include "ZySistVyzovy.h"
#include "ZyZhurnal.h"

namespace Quorvel {

namespace {

constexpr LONG ZY_PROPUSK_MAX = 0x7FFFFFFE;

// Views of the reader-count pages of this process, one per page handle, made at the first
// step that needs the count and kept until FEK_DesSinhronObj closes the handle: mapping and
// unmapping four bytes at every lock step would cost more than the rest of a small call.
class ZyVidySchetchikov {
public:
    // The handle's view, mapped now if it has none; null after a failure (last error set).
    volatile LONG* vzjat(HANDLE stranica) {
        AcquireSRWLockExclusive(&zamok_);
        volatile LONG* p = najti(stranica);
        if (!p) {
            p = static_cast<volatile LONG*>(
                ZyOS().MapViewOfFile(stranica, FILE_MAP_WRITE, 0, 0, sizeof(LONG)));
            if (p && !zapomnit(stranica, p)) {
                ZyOS().UnmapViewOfFile(const_cast<LONG*>(p));
                SetLastError(ERROR_NOT_ENOUGH_MEMORY);
                p = nullptr;
            }
        }
        ReleaseSRWLockExclusive(&zamok_);
        return p;
    }
    // Unmaps the handle's view, if it has one, before the handle is closed.
    void otpustit(HANDLE stranica) {
        AcquireSRWLockExclusive(&zamok_);
        for (Vid& v : vidy_)
            if (v.stranica == stranica) {
                ZyOS().UnmapViewOfFile(const_cast<LONG*>(v.p));
                v = Vid();
            }
        ReleaseSRWLockExclusive(&zamok_);
    }

private:
    struct Vid {
        HANDLE stranica = nullptr;
        volatile LONG* p = nullptr;
    };
    volatile LONG* najti(HANDLE stranica) const {
        for (const Vid& v : vidy_)
            if (v.stranica == stranica) return v.p;
        return nullptr;
    }
    // Keeps the view in a free slot or a new one; false when there is no memory for it.
    bool zapomnit(HANDLE stranica, volatile LONG* p) {
        for (Vid& v : vidy_)
            if (!v.stranica) {
                v = Vid{stranica, p};
                return true;
            }
        try {
            vidy_.push_back(Vid{stranica, p});
        } catch (const std::bad_alloc&) {
            return false;
        }
        return true;
    }
    SRWLOCK zamok_ = SRWLOCK_INIT;
    std::vector<Vid> vidy_;
};

ZyVidySchetchikov& zyVidySchetchikov() {
    static ZyVidySchetchikov vidy;
    return vidy;
}

// The 4-byte reader count of a page handle, through the view kept for it.
class ZySchetchik {
public:
    explicit ZySchetchik(HANDLE stranica)
        : p_(stranica ? zyVidySchetchikov().vzjat(stranica) : nullptr) {
        if (!stranica) SetLastError(ERROR_INVALID_HANDLE);
    }
    ZySchetchik(const ZySchetchik&) = delete;
    ZySchetchik& operator=(const ZySchetchik&) = delete;

    explicit operator bool() const { return p_ != nullptr; }
    volatile LONG& operator*() const { return *p_; }

private:
    volatile LONG* p_;
};

// The file's mutex, held for the time of one step.
class ZyVMutekse {
public:
    explicit ZyVMutekse(HANDLE m) : m_(m && zyZhdatMutex(m) ? m : nullptr) {
        if (!m) SetLastError(ERROR_INVALID_HANDLE);
    }
    // Releases; the thread's last error stays that of the failure being reported, if any.
    ~ZyVMutekse() {
        const DWORD oshibka = GetLastError();
        if (m_) ZyOS().ReleaseMutex(m_);
        SetLastError(oshibka);
    }
    ZyVMutekse(const ZyVMutekse&) = delete;
    ZyVMutekse& operator=(const ZyVMutekse&) = delete;

    explicit operator bool() const { return m_ != nullptr; }

private:
    HANDLE m_;
};

// How long a wait for the gate goes before it looks for a change whose process stopped.
constexpr DWORD ZY_PROVERKA_ZATVORA = 1000;

// Waits for the gate (or, for a reader, the gate or the pass) without time-out. A process
// that stopped in the middle of a change holds the gate for ever; so every second of waiting
// the journal of the file is looked at, and one left by a stopped change is recovered (under
// the file's mutex, never held while waiting here) and the gate given on.
DWORD zyZhdatVhoda(ZYKFAJL64& f, DWORD n, const HANDLE* vhody) {
    for (;;) {
        const DWORD w = n == 1
                            ? ZyOS().WaitForSingleObject(vhody[0], ZY_PROVERKA_ZATVORA)
                            : ZyOS().WaitForMultipleObjects(n, vhody, FALSE, ZY_PROVERKA_ZATVORA);
        if (w != WAIT_TIMEOUT) return w;
        if (!f.Imja || !f.hMutex || !zyZhdatMutex(f.hMutex)) continue;
        if (zyVosstanovitZhurnal(f.Imja, false, &f) == ZyOstatok::Vosstanovlen)
            ZyOS().SetEvent(f.hZatvor);
        ZyOS().ReleaseMutex(f.hMutex);
    }
}

// Closes a handle field if it is set and clears it.
void zyZakryt(HANDLE& h) {
    if (h) ZyOS().CloseHandle(h);
    h = nullptr;
}

} // namespace

// Name of a synchronisation object: the path with "\\" as "*", upper-cased, plus the letter.
// NOTE: object names are limited to MAX_PATH - 1 characters, one less than a path and its
// letter may need; a path of more than ZY_DLINA_IMENI_SINHRON characters keeps its end,
// behind a hash of the whole path, so that every process still derives the same names.
void zyImjaSinhron(const char* put, char bukva, char* buf) {
    size_t n = std::strlen(put);
    if (n > ZY_DLINA_PUTI) n = ZY_DLINA_PUTI;
    char imja[MAX_PATH];
    for (size_t i = 0; i < n; ++i)
        imja[i] = put[i] == '\\' ? '*' : put[i];
    imja[n] = 0;
    CharUpperA(imja);
    if (n <= ZY_DLINA_IMENI_SINHRON) {
        std::memcpy(buf, imja, n);
    } else {
        uint64_t hash = 14695981039346656037ull; // FNV-1a over the whole upper-cased path
        for (size_t i = 0; i < n; ++i)
            hash = (hash ^ static_cast<unsigned char>(imja[i])) * 1099511628211ull;
        wsprintfA(buf, "%08lX%08lX#", static_cast<unsigned long>(hash >> 32),
                  static_cast<unsigned long>(hash));
        const size_t hvost = ZY_DLINA_IMENI_SINHRON - 17;
        std::memcpy(buf + 17, imja + (n - hvost), hvost);
        n = ZY_DLINA_IMENI_SINHRON;
    }
    buf[n] = bukva;
    buf[n + 1] = 0;
}

// Creates or opens E, S and P; a newly made count starts at 0 (an existing one is kept, since
// other processes may be reading). 1, or 0 after a report.
int ZYKFAJL64::FEK_SozdatSinhronObj() {
    const char* f = "FEK_SozdatSinhronObj";
    if (!Imja) {
        SetLastError(ERROR_INVALID_HANDLE);
        ZyOtchet(f, 1);
        return 0;
    }
    char imja[ZY_BUF_IMENI_SINHRON];
    zyImjaSinhron(Imja, 'E', imja);
    hZatvor = ZyOS().CreateEventA(Zashita, FALSE, TRUE, imja);
    if (!hZatvor) {
        ZyOtchet(f, 1);
        return 0;
    }
    zyImjaSinhron(Imja, 'S', imja);
    hPropusk = ZyOS().CreateSemaphoreA(Zashita, 0, ZY_PROPUSK_MAX, imja);
    if (!hPropusk) {
        ZyOtchet(f, 2);
        return 0;
    }
    zyImjaSinhron(Imja, 'P', imja);
    hSchetchik = ZyOS().CreateFileMappingA(INVALID_HANDLE_VALUE, Zashita, PAGE_READWRITE, 0,
                                           sizeof(LONG), imja);
    if (!hSchetchik) {
        ZyOtchet(f, 4);
        return 0;
    }
    if (GetLastError() == ERROR_ALREADY_EXISTS) return 1;
    ZySchetchik schetchik(hSchetchik);
    if (!schetchik) {
        ZyOtchet(f, 5);
        return 0;
    }
    ZyVMutekse m(hMutex);
    if (!m) {
        ZyOtchet(f, 6);
        return 0;
    }
    *schetchik = 0;
    return 1;
}

// Writer prefix: takes the gate, then resets the reader count under M. On a failure after
// the gate was taken the gate is given back, so that no one waits for a writer that left.
int ZYKFAJL64::FEK_SinhronZapisPref() {
    const char* f = "FEK_SinhronZapisPref";
    if (!hZatvor || zyZhdatVhoda(*this, 1, &hZatvor) != WAIT_OBJECT_0) {
        if (!hZatvor) SetLastError(ERROR_INVALID_HANDLE);
        ZyOtchet(f, 1);
        return 0;
    }
    unsigned serial = 2;
    {
        ZyVMutekse m(hMutex);
        if (m) {
            ZySchetchik schetchik(hSchetchik);
            if (schetchik) {
                *schetchik = 0;
                return 1;
            }
            serial = 3;
        }
    }
    const DWORD oshibka = GetLastError();
    ZyOS().SetEvent(hZatvor); // given back before the box, which waits for the user
    SetLastError(oshibka);
    ZyOtchet(f, serial);
    return 0;
}

// Writer suffix: opens the gate.
int ZYKFAJL64::FEK_SinhronZapisSyf() {
    if (!hZatvor || !ZyOS().SetEvent(hZatvor)) {
        if (!hZatvor) SetLastError(ERROR_INVALID_HANDLE);
        ZyOtchet("FEK_SinhronZapisSyf", 1);
        return 0;
    }
    return 1;
}

// Reader prefix: enters through the gate (the first reader) or the pass (further readers),
// leaves one pass unit per active reader and counts itself. Whatever was taken is given back
// on a failure.
int ZYKFAJL64::FEK_SinhronChtenPref() {
    const char* f = "FEK_SinhronChtenPref";
    const HANDLE vhody[2] = {hZatvor, hPropusk};
    const DWORD w = (hZatvor && hPropusk) ? zyZhdatVhoda(*this, 2, vhody) : WAIT_FAILED;
    if (w != WAIT_OBJECT_0 && w != WAIT_OBJECT_0 + 1) {
        if (!hZatvor || !hPropusk) SetLastError(ERROR_INVALID_HANDLE);
        ZyOtchet(f, 1);
        return 0;
    }
    const bool pervyj = w == WAIT_OBJECT_0;
    unsigned serial = 0;
    {
        ZyVMutekse m(hMutex);
        if (!m) {
            serial = 2;
        } else {
            ZySchetchik schetchik(hSchetchik);
            if (!schetchik) {
                serial = 3;
            } else if (ZyOS().ReleaseSemaphore(hPropusk, pervyj ? 1 : 2, nullptr)) {
                ++*schetchik;
                return 1;
            } else {
                serial = 4;
            }
        }
    }
    const DWORD oshibka = GetLastError();
    if (pervyj) // given back before the box, which waits for the user
        ZyOS().SetEvent(hZatvor);
    else
        ZyOS().ReleaseSemaphore(hPropusk, 1, nullptr);
    SetLastError(oshibka);
    ZyOtchet(f, serial);
    return 0;
}

// Reader suffix: takes one pass unit back and uncounts itself; the last reader opens the gate.
int ZYKFAJL64::FEK_SinhronChtenSyf() {
    const char* f = "FEK_SinhronChtenSyf";
    if (!hPropusk || ZyOS().WaitForSingleObject(hPropusk, INFINITE) != WAIT_OBJECT_0) {
        if (!hPropusk) SetLastError(ERROR_INVALID_HANDLE);
        ZyOtchet(f, 1);
        return 0;
    }
    unsigned serial = 2;
    {
        ZyVMutekse m(hMutex);
        if (m) {
            ZySchetchik schetchik(hSchetchik);
            if (schetchik) {
                if (*schetchik > 0) --*schetchik;
                if (*schetchik != 0 || ZyOS().SetEvent(hZatvor)) return 1;
                serial = 4;
            } else {
                serial = 3;
            }
        }
    }
    const DWORD oshibka = GetLastError();
    // The pass unit goes back (before the box) unless this reader has already been uncounted.
    if (serial != 4) ZyOS().ReleaseSemaphore(hPropusk, 1, nullptr);
    SetLastError(oshibka);
    ZyOtchet(f, serial);
    return 0;
}

// Closes E, S and P (each only if present); always 1.
int ZYKFAJL64::FEK_DesSinhronObj() {
    zyZakryt(hZatvor);
    zyZakryt(hPropusk);
    if (hSchetchik) zyVidySchetchikov().otpustit(hSchetchik);
    zyZakryt(hSchetchik);
    return 1;
}

} // namespace Quorvel
