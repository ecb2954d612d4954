// Encode and decode of ZYKFAJL64 (Kod, Dekod): file to receiver, in place, from memory and into
// memory. The arithmetic is ZyKodArifm.h; this unit moves the bytes (through the copy operations
// of the file object, 8 MiB at a time), checks encoded data before anything is written, shows
// progress and reports failures. Each call holds the locks of its files for its whole course:
// the writer lock of the receiver (this file in place), the reader lock of the source, so that
// the sizes it reads stay true until it ends.
//
// Encoded layout: the plain prefix, the 8-byte total length (prefix included, low half first),
// then one record per block of 65532 bytes: quotient length and remainder length (16 bits
// each, low byte first), the quotient's and the remainder's significant bytes.
//
// In place, the new data is written into the journal of a change (ZyZhurnal.h) and then
// replaces the data after the prefix: the file is as before until the replacement, which a
// stopped process cannot leave half-done, and a file that cannot be cut (another object has it
// open) is refused before anything changes.
#include <windows.h>

#include <cstring>
#include <new>

#include "ZyBlokKop.h"
#include "ZyKFajl64Vnutr.h"
#include "ZyKodArifm.h"
#include "ZyOtchet.h"
#include "ZyProgres.h"
#include "ZySistVyzovy.h"
#include "ZyStandart.h"
#include "ZyZhurnal.h"

namespace Quorvel {

namespace {

constexpr const char* ZY_KOD = "Kod";
constexpr const char* ZY_DEKOD = "Dekod";
constexpr const char* ZY_KOD_OZU = "Kod in file from RAM";
constexpr const char* ZY_DEKOD_OZU = "Dekod in RAM from file";
constexpr size_t ZY_BUFER = 8 << 20; // bytes a read or write moves at once
constexpr DWORD ZY_PAUZA_POSYLKI = 30;
constexpr int ZY_POPYTOK_POSYLKI = 300;

// Report serials of one form (see the README's table).
struct ZySerialy {
    unsigned chtenie, zapis, dlinaZapisej, chastnoe, ostatok, nolKljuch;
};
constexpr ZySerialy ZY_S_KOD = {5, 8, 0, 0, 0, 7};
constexpr ZySerialy ZY_S_KOD_NA_MESTE = {3, 8, 0, 0, 0, 7};
constexpr ZySerialy ZY_S_KOD_OZU = {0, 8, 0, 0, 0, 7};
constexpr ZySerialy ZY_S_DEKOD = {4, 18, 13, 14, 15, 19};
constexpr ZySerialy ZY_S_DEKOD_NA_MESTE = {4, 11, 6, 7, 8, 19};

// A 64-bit number, low byte first.
void zyZapisat64(unsigned char* p, uint64_t v) {
    for (int i = 0; i < 8; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}
// Reads a 64-bit number, low byte first.
uint64_t zyProchest64(const unsigned char* p) {
    uint64_t v = 0;
    for (int i = 8; i-- > 0;)
        v = v << 8 | p[i];
    return v;
}

// The work area of one call: the key number with its digits, a block, a record and the read
// and write buffers.
struct ZyRabota {
    ZyKodChislo chislo;
    unsigned char* pamjat = nullptr;
    unsigned char* blok = nullptr;
    unsigned char* zapis = nullptr;
    unsigned char* ostatok = nullptr;
    unsigned char* vvod = nullptr;
    unsigned char* vyvod = nullptr;
    ~ZyRabota() { delete[] pamjat; }
    // Allocates everything; false when memory is short.
    bool vydelit() {
        pamjat = new (std::nothrow) unsigned char[3 * ZY_KOD_ZAPIS + 2 * ZY_BUFER];
        if (!pamjat || !chislo.vydelit()) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return false;
        }
        blok = pamjat;
        zapis = blok + ZY_KOD_ZAPIS;
        ostatok = zapis + ZY_KOD_ZAPIS;
        vvod = ostatok + ZY_KOD_ZAPIS;
        vyvod = vvod + ZY_BUFER;
        return true;
    }
};

// Bytes read in order from a range of a file (a megabyte at a time) or of memory.
struct ZyVvod {
    ZYKFAJL64* f = nullptr;
    const unsigned char* ozu = nullptr;
    uint64_t poz = 0, konec = 0; // next byte to fetch, end of the range
    unsigned char* buf = nullptr;
    size_t v = 0, n = 0; // fetched bytes not yet read: buf[v, n)
    bool sboj = false;   // the file could not be read (as opposed to the range ending)

    // Reads k bytes into `kuda` (null: skips them). False when the range ends first.
    bool chitat(unsigned char* kuda, uint64_t k) {
        if (!kuda && k > n - v) {
            // A skip past the fetched bytes moves on without reading.
            k -= n - v;
            v = n;
            if (k > konec - poz) return false;
            poz += k;
            return true;
        }
        while (k) {
            if (v == n && !zapolnit()) return false;
            const size_t t = size_t(k < n - v ? k : n - v);
            if (kuda) {
                std::memcpy(kuda, buf + v, t);
                kuda += t;
            }
            v += t;
            k -= t;
        }
        return true;
    }

private:
    // Fetches the next piece.
    bool zapolnit() {
        if (poz >= konec) return false;
        const size_t t = size_t(konec - poz < ZY_BUFER ? konec - poz : ZY_BUFER);
        if (f) {
            if (!f->Kop(buf, zyNB(poz), (unsigned long)t)) {
                sboj = true;
                return false;
            }
        } else {
            std::memcpy(buf, ozu + poz, t);
        }
        poz += t;
        v = 0;
        n = t;
        return true;
    }
};

// Bytes written in order to a file from a position on (8 MiB at a time), to the data of a
// journal, or to memory.
struct ZyVyvod {
    ZYKFAJL64* f = nullptr;
    ZyZhurnal* zh = nullptr;
    unsigned char* ozu = nullptr;
    uint64_t poz = 0; // where the buffered bytes go
    unsigned char* buf = nullptr;
    size_t n = 0;

    // Writes k bytes; false when the file refuses them.
    bool pisat(const unsigned char* p, size_t k) {
        if (!f && !zh) {
            std::memcpy(ozu + poz, p, k);
            poz += k;
            return true;
        }
        while (k) {
            if (n == ZY_BUFER && !sbrosit()) return false;
            const size_t t = k < ZY_BUFER - n ? k : ZY_BUFER - n;
            std::memcpy(buf + n, p, t);
            n += t;
            p += t;
            k -= t;
        }
        return true;
    }
    // Writes out what is buffered.
    bool sbrosit() {
        if ((!f && !zh) || n == 0) return true;
        if (zh ? !zh->pisatDannye(poz, buf, n) : !f->Kop(zyNB(poz), buf, (unsigned long)n))
            return false;
        poz += n;
        n = 0;
        return true;
    }
    // Position after the last byte written or buffered.
    uint64_t konec() const { return poz + n; }
};

// Copies a name into a field of the progress block (a long path keeps its end), or "RAM".
void zyImjaVBlok(char* pole, const char* imja) {
    if (!imja) {
        std::strcpy(pole, "RAM");
        ZyPerevodStroki(pole, 256);
        return;
    }
    const size_t n = std::strlen(imja);
    if (n <= 255) {
        std::memcpy(pole, imja, n + 1);
        return;
    }
    std::memcpy(pole, "...", 3);
    std::memcpy(pole + 3, imja + (n - 252), 253);
}

// The progress window of one encoding or decoding, and the progress flags of the objects
// involved, cleared while it runs so that the inner copies show no window of their own.
class ZyHod {
public:
    ZyHod(ZYKFAJL64& f, ZYKFAJL64* priemnik) : f_(f), p_(priemnik) {
        flagi_ = f.Flagi;
        if (p_) flagiP_ = p_->Flagi;
        pokaz_ = (f.Flagi & ZYF64_PROGRESS) != 0;
        f.Flagi &= ~ZYF64_PROGRESS;
        if (p_) p_->Flagi &= ~ZYF64_PROGRESS;
    }
    ~ZyHod() {
        zakonchit();
        f_.Flagi = (f_.Flagi & ~ZYF64_PROGRESS) | (flagi_ & ZYF64_PROGRESS);
        if (p_) p_->Flagi = (p_->Flagi & ~ZYF64_PROGRESS) | (flagiP_ & ZYF64_PROGRESS);
    }
    ZyHod(const ZyHod&) = delete;
    ZyHod& operator=(const ZyHod&) = delete;

    // Shows the window when the object asks for progress; false after a report.
    bool nachat(const char* zagolovok, const char* ist, const char* priem, uint64_t vsego,
                const char* funkcija, unsigned serial) {
        if (!pokaz_) return true;
        if (!f_.PotokProgressa && !zapustit(zagolovok, ist, priem, funkcija, serial)) return false;
        f_.Sdelano = zyNB(0);
        f_.EdProgressa = zyNB(vsego / 100);
        for (int i = 0; i < ZY_POPYTOK_POSYLKI; ++i) {
            if (PostThreadMessageA(f_.PotokProgressa, ZYPR_POZICIJA, 0, 0)) break;
            if (!potok_ || WaitForSingleObject(potok_, ZY_PAUZA_POSYLKI) != WAIT_TIMEOUT) break;
        }
        idjot_ = true;
        return true;
    }
    // Counts n more bytes done and posts the percentage.
    void dobavit(uint64_t n) {
        if (!idjot_) return;
        f_.Sdelano = zyNB(zySumma(zy64(f_.Sdelano), n));
        uint64_t procent = zyChastnoe(zy64(f_.Sdelano), zy64(f_.EdProgressa));
        if (procent > 100) procent = 100;
        PostThreadMessageA(f_.PotokProgressa, ZYPR_POZICIJA, WPARAM(procent), 0);
    }

private:
    // Starts the window's thread with its text block (the thread owns the block).
    bool zapustit(const char* zagolovok, const char* ist, const char* priem, const char* funkcija,
                  unsigned serial) {
        unsigned char* blok = new (std::nothrow) unsigned char[ZYPR_BLOK];
        if (!blok) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            ZyOtchet(funkcija, serial);
            return false;
        }
        std::memset(blok, 0, ZYPR_BLOK);
        char* t = reinterpret_cast<char*>(blok);
        std::strcpy(t + ZYPR_ZAGOLOVOK, zagolovok);
        ZyPerevodStroki(t + ZYPR_ZAGOLOVOK, 85);
        std::strcpy(t + ZYPR_METKA1, "Source:");
        ZyPerevodStroki(t + ZYPR_METKA1, 85);
        std::strcpy(t + ZYPR_METKA2, "Receiver:");
        ZyPerevodStroki(t + ZYPR_METKA2, 85);
        zyImjaVBlok(t + ZYPR_ISTOCHNIK, ist);
        zyImjaVBlok(t + ZYPR_PRIEMNIK, priem);
        DWORD id = 0;
        potok_ = ZyOS().CreateThread(nullptr, 0, ZyProgresPotok, blok, 0, &id);
        if (!potok_) {
            delete[] blok;
            ZyOtchet(funkcija, serial);
            return false;
        }
        f_.PotokProgressa = id;
        zapustil_ = true;
        return true;
    }
    // Closes a window this call started.
    void zakonchit() {
        if (zapustil_) {
            PostThreadMessageA(f_.PotokProgressa, ZYPR_ZAKRYT, 0, 0);
            f_.PotokProgressa = 0;
            zapustil_ = false;
        }
        if (potok_) CloseHandle(potok_);
        potok_ = nullptr;
        idjot_ = false;
    }

    ZYKFAJL64& f_;
    ZYKFAJL64* p_;
    unsigned long flagi_ = 0, flagiP_ = 0;
    bool pokaz_ = false, idjot_ = false, zapustil_ = false;
    HANDLE potok_ = nullptr;
};

// Reports and gives 0.
int zyOtkaz(const char* funkcija, unsigned serial, DWORD oshibka = 0) {
    if (oshibka) SetLastError(oshibka);
    ZyOtchet(funkcija, serial);
    return 0;
}

// The end of the work: the position of each object at its end; -1.
int zyGotovo(ZYKFAJL64& f, ZYKFAJL64* p) {
    f.Poz = f.PoslIndeks;
    if (p) p->Poz = p->PoslIndeks;
    return -1;
}

// Encodes `dannye` bytes from `vvod` as the total length `vsego` and the records.
// 0 done; otherwise the serial to report.
unsigned zyKodirovat(ZyRabota& r, ZyVvod& vvod, uint64_t dannye, uint64_t vsego, ZyVyvod& vyvod,
                     ZyHod& hod, const ZySerialy& s) {
    unsigned char dlina[8];
    zyZapisat64(dlina, vsego);
    if (!vyvod.pisat(dlina, 8)) return s.zapis;
    for (uint64_t gotovo = 0; gotovo < dannye;) {
        const size_t n = size_t(dannye - gotovo < ZY_KOD_BLOK ? dannye - gotovo : ZY_KOD_BLOK);
        if (!vvod.chitat(r.blok, n)) return s.chtenie;
        const size_t z = r.chislo.kodirovat(r.blok, n, r.zapis);
        if (!vyvod.pisat(r.zapis, z)) return s.zapis;
        gotovo += n;
        hod.dobavit(n);
    }
    return vyvod.sbrosit() ? 0 : s.zapis;
}

// One record's lengths; false when they cannot be read.
bool zyDlinyZapisi(ZyVvod& vvod, size_t& q, size_t& o) {
    unsigned char d[4];
    if (!vvod.chitat(d, 4)) return false;
    q = size_t(d[0]) | size_t(d[1]) << 8;
    o = size_t(d[2]) | size_t(d[3]) << 8;
    return true;
}

// Checks the records of `dannye` unencoded bytes before anything is written. 0 when they are
// sound; otherwise the serial to report (the last error set).
unsigned zyProveritZapisi(ZyVvod vvod, uint64_t dannye, const ZySerialy& s) {
    uint64_t vyshlo = 0;
    while (vyshlo < dannye) {
        size_t q, o;
        if (!zyDlinyZapisi(vvod, q, o)) {
            if (!vvod.sboj) SetLastError(ERROR_HANDLE_EOF);
            return s.dlinaZapisej;
        }
        if (q > ZY_KOD_BLOK || o > ZY_KOD_BLOK) {
            SetLastError(ERROR_INVALID_DATA);
            return s.dlinaZapisej;
        }
        if (!vvod.chitat(nullptr, q)) {
            if (!vvod.sboj) SetLastError(ERROR_HANDLE_EOF);
            return s.chastnoe;
        }
        if (!vvod.chitat(nullptr, o)) {
            if (!vvod.sboj) SetLastError(ERROR_HANDLE_EOF);
            return s.ostatok;
        }
        vyshlo += dannye - vyshlo < ZY_KOD_BLOK ? dannye - vyshlo : ZY_KOD_BLOK;
    }
    return 0;
}

// Decodes `dannye` bytes from the records of `vvod`. 0 done; otherwise the serial to report.
unsigned zyDekodirovat(ZyRabota& r, ZyVvod& vvod, uint64_t dannye, ZyVyvod& vyvod, ZyHod& hod,
                       const ZySerialy& s) {
    unsigned char* q = r.zapis;
    unsigned char* o = r.ostatok;
    for (uint64_t vyshlo = 0; vyshlo < dannye;) {
        size_t qn, on;
        if (!zyDlinyZapisi(vvod, qn, on) || qn > ZY_KOD_BLOK || on > ZY_KOD_BLOK)
            return s.dlinaZapisej;
        if (!vvod.chitat(q, qn)) return s.chastnoe;
        if (!vvod.chitat(o, on)) return s.ostatok;
        const size_t n = size_t(dannye - vyshlo < ZY_KOD_BLOK ? dannye - vyshlo : ZY_KOD_BLOK);
        r.chislo.dekodirovat(q, qn, o, on, r.blok, n);
        if (!vyvod.pisat(r.blok, n)) return s.zapis;
        vyshlo += n;
        hod.dobavit(4 + qn + on);
    }
    return vyvod.sbrosit() ? 0 : s.zapis;
}

// Appends the whole of `ist` to `kuda` (Vkl at its end). False on failure.
bool zyPrilozhit(ZYKFAJL64& kuda, ZYKFAJL64& ist) {
    // NOTE: copies, not references to the fields: the insert changes the receiver's size.
    const ZYKNB64 konec = kuda.Razmer, dlina = ist.Razmer;
    return kuda.Vkl(konec, ist, zyNB(0), dlina) != 0;
}

// Takes the locks of an encoding or decoding for its whole course: the writer side of the
// receiver (this file in place) and the reader side of this file, unless the receiver shows
// the same file (its writer side covers the reading). False after a report.
bool zyZamkiKoda(ZyZamki& z, ZYKFAJL64& f, ZYKFAJL64* priemnik, const char* funkcija) {
    if (!priemnik) {
        z.dobavit(&f, true);
        return z.vzjat();
    }
    const int odin = zyOdinPut(*priemnik, f, funkcija, 1);
    if (odin < 0) return false;
    z.dobavit(priemnik, true);
    if (odin)
        z.dobavitPokrytyj(&f);
    else
        z.dobavit(&f, false);
    return z.vzjat();
}

// The sizes under the locks: the receiver's (this file's in place) always, since the call
// writes at its end; the source's unless its refresh is switched off (flag bit 20).
void zyObnovitKod(ZYKFAJL64& f, ZYKFAJL64* priemnik) {
    if (priemnik) priemnik->TestDan();
    if (!priemnik || !(f.Flagi & ZYF64_BEZ_OBNOVL)) f.TestDan();
}

// The key text's bytes and length.
const unsigned char* zyKljuch(const char* key, size_t& dlina) {
    dlina = std::strlen(key);
    return reinterpret_cast<const unsigned char*>(key);
}

} // namespace

// Encodes this file onto the end of `receiver`, or in place.
int ZYKFAJL64::Kod(const char* key, const ZYKNB64& prefix, ZYKFAJL64* receiver) {
    if (!hFajl) return zyOtkaz(ZY_KOD, 0, ERROR_INVALID_HANDLE);
    const bool naMeste = receiver == nullptr;
    ZYKFAJL64& kuda = naMeste ? *this : *receiver;
    if (!key || !kuda.hFajl || !(kuda.Flagi & ZYF64_ZAPIS))
        return zyOtkaz(ZY_KOD, 1, ERROR_INVALID_PARAMETER);
    ZyOtlozhennyeOtchety otlozhit;
    ZyZamki zamki;
    if (!zyZamkiKoda(zamki, *this, receiver, ZY_KOD) || (naMeste && !zyBezOstatka(*this))) return 0;
    zyObnovitKod(*this, receiver);
    const uint64_t pref = zy64(prefix), razmer = zy64(Razmer);
    if (pref > razmer) return zyOtkaz(ZY_KOD, 1, ERROR_INVALID_PARAMETER);
    // Inner copies show no window of their own from here on.
    ZyHod hod(*this, receiver);
    ZyRabota r;
    if (!r.vydelit()) return zyOtkaz(ZY_KOD, 2);
    size_t dlinaKljucha;
    const unsigned char* kljuch = zyKljuch(key, dlinaKljucha);
    const uint64_t dannye = razmer - pref;
    if (dlinaKljucha == 0) {
        // No key, no encoding: the receiver gets the file as it is.
        if (!naMeste && razmer && !zyPrilozhit(*receiver, *this)) return zyOtkaz(ZY_KOD, 8);
        return zamki.otpustit() ? zyGotovo(*this, receiver) : 0;
    }
    if (!r.chislo.kljuch(kljuch, dlinaKljucha, dannye) && dannye)
        return zyOtkaz(ZY_KOD, 7, ERROR_INVALID_PARAMETER);

    if (!hod.nachat("\"ZYKFAJL64\" - Encode", Imja, kuda.Imja, dannye, ZY_KOD, 2)) return 0;
    ZyVvod vvod;
    vvod.f = this;
    vvod.buf = r.vvod;
    vvod.poz = pref;
    vvod.konec = razmer;
    ZyVyvod vyvod;
    vyvod.buf = r.vyvod;
    unsigned sboj;
    if (naMeste) {
        // The encoded form goes into the journal, then replaces the data after the prefix.
        ZyZhurnal zhurnal(*this);
        if (!zhurnal.sozdat()) return zyOtkaz(ZY_KOD, ZY_S_KOD_NA_MESTE.zapis);
        vyvod.zh = &zhurnal;
        sboj = zyKodirovat(r, vvod, dannye, razmer, vyvod, hod, ZY_S_KOD_NA_MESTE);
        if (!sboj && !zhurnal.izmenit(zyPlanZameny(razmer, pref, vyvod.konec())))
            sboj = ZY_S_KOD_NA_MESTE.zapis;
    } else {
        const uint64_t konec = zy64(receiver->Razmer);
        if (pref && !receiver->Kop(zyNB(konec), *this, zyNB(0), zyNB(pref)))
            return zyOtkaz(ZY_KOD, 8);
        vyvod.f = receiver;
        vyvod.poz = konec + pref;
        sboj = zyKodirovat(r, vvod, dannye, razmer, vyvod, hod, ZY_S_KOD);
    }
    if (sboj) return zyOtkaz(ZY_KOD, sboj);
    return zamki.otpustit() ? zyGotovo(*this, receiver) : 0;
}

// Encodes bytes 0 .. end - 1 of `mem` onto the end of this file.
int ZYKFAJL64::Kod(const char* key, const void* mem, unsigned long prefix, unsigned long end) {
    if (!hFajl) return zyOtkaz(ZY_KOD_OZU, 0, ERROR_INVALID_HANDLE);
    if (!key || !mem || end == 0 || prefix >= end || !(Flagi & ZYF64_ZAPIS))
        return zyOtkaz(ZY_KOD_OZU, 1, ERROR_INVALID_PARAMETER);
    ZyOtlozhennyeOtchety otlozhit;
    ZyZamki zamki;
    zamki.dobavit(this, true);
    if (!zamki.vzjat()) return 0;
    ZyHod hod(*this, nullptr);
    ZyRabota r;
    if (!r.vydelit()) return zyOtkaz(ZY_KOD_OZU, 2);
    TestDan(); // the end, under the writer lock
    const uint64_t konec = zy64(Razmer);
    size_t dlinaKljucha;
    const unsigned char* kljuch = zyKljuch(key, dlinaKljucha);
    const unsigned char* ozu = static_cast<const unsigned char*>(mem);
    if (dlinaKljucha == 0) {
        if (!Kop(zyNB(konec), mem, end)) return zyOtkaz(ZY_KOD_OZU, 3);
        return zamki.otpustit() ? zyGotovo(*this, nullptr) : 0;
    }
    const uint64_t dannye = end - prefix;
    if (!r.chislo.kljuch(kljuch, dlinaKljucha, dannye))
        return zyOtkaz(ZY_KOD_OZU, 7, ERROR_INVALID_PARAMETER);
    if (!hod.nachat("\"ZYKFAJL64\" - Encode", nullptr, Imja, dannye, ZY_KOD_OZU, 2)) return 0;
    if (prefix && !Kop(zyNB(konec), mem, prefix)) return zyOtkaz(ZY_KOD_OZU, 3);
    ZyVvod vvod;
    vvod.ozu = ozu;
    vvod.poz = prefix;
    vvod.konec = end;
    vvod.buf = r.vvod;
    ZyVyvod vyvod;
    vyvod.f = this;
    vyvod.buf = r.vyvod;
    vyvod.poz = konec + prefix;
    const unsigned sboj = zyKodirovat(r, vvod, dannye, end, vyvod, hod, ZY_S_KOD_OZU);
    if (sboj) return zyOtkaz(ZY_KOD_OZU, sboj);
    return zamki.otpustit() ? zyGotovo(*this, nullptr) : 0;
}

// Decodes this file onto the end of `receiver`, or in place.
int ZYKFAJL64::Dekod(const char* key, const ZYKNB64& prefix, ZYKFAJL64* receiver) {
    if (!hFajl) return zyOtkaz(ZY_DEKOD, 0, ERROR_INVALID_HANDLE);
    const bool naMeste = receiver == nullptr;
    ZYKFAJL64& kuda = naMeste ? *this : *receiver;
    if (!key || !kuda.hFajl || !(kuda.Flagi & ZYF64_ZAPIS))
        return zyOtkaz(ZY_DEKOD, 1, ERROR_INVALID_PARAMETER);
    ZyOtlozhennyeOtchety otlozhit;
    ZyZamki zamki;
    if (!zyZamkiKoda(zamki, *this, receiver, ZY_DEKOD) || (naMeste && !zyBezOstatka(*this)))
        return 0;
    zyObnovitKod(*this, receiver);
    const uint64_t pref = zy64(prefix), razmer = zy64(Razmer);
    const ZySerialy& s = naMeste ? ZY_S_DEKOD_NA_MESTE : ZY_S_DEKOD;
    ZyHod hod(*this, receiver);
    size_t dlinaKljucha;
    const unsigned char* kljuch = zyKljuch(key, dlinaKljucha);
    if (dlinaKljucha == 0) {
        // Written without a key: the data is plain.
        if (!naMeste && razmer && !zyPrilozhit(*receiver, *this)) return zyOtkaz(ZY_DEKOD, s.zapis);
        return zamki.otpustit() ? zyGotovo(*this, receiver) : 0;
    }
    ZyRabota r;
    if (!r.vydelit()) return zyOtkaz(ZY_DEKOD, 3);
    unsigned char dlina[8];
    if (pref > razmer || razmer - pref < 8 || !Kop(dlina, zyNB(pref), 8))
        return zyOtkaz(ZY_DEKOD, s.chtenie, ERROR_HANDLE_EOF);
    const uint64_t vsego = zyProchest64(dlina);
    if (vsego < pref) return zyOtkaz(ZY_DEKOD, s.chtenie, ERROR_INVALID_DATA);
    const uint64_t dannye = vsego - pref;

    ZyVvod vvod;
    vvod.f = this;
    vvod.buf = r.vvod;
    vvod.poz = pref + 8;
    vvod.konec = razmer;
    if (const unsigned sboj = zyProveritZapisi(vvod, dannye, s)) return zyOtkaz(ZY_DEKOD, sboj);
    if (!r.chislo.kljuch(kljuch, dlinaKljucha, dannye) && dannye)
        return zyOtkaz(ZY_DEKOD, s.nolKljuch, ERROR_INVALID_PARAMETER);

    if (!hod.nachat("\"ZYKFAJL64\" - Decode", Imja, kuda.Imja, razmer - pref, ZY_DEKOD, 3))
        return 0;
    ZyVyvod vyvod;
    vyvod.buf = r.vyvod;
    unsigned sboj;
    if (naMeste) {
        // The decoded data goes into the journal, then replaces everything after the prefix.
        ZyZhurnal zhurnal(*this);
        if (!zhurnal.sozdat()) return zyOtkaz(ZY_DEKOD, s.zapis);
        vyvod.zh = &zhurnal;
        sboj = zyDekodirovat(r, vvod, dannye, vyvod, hod, s);
        if (!sboj && !zhurnal.izmenit(zyPlanZameny(razmer, pref, dannye))) sboj = s.zapis;
    } else {
        const uint64_t konec = zy64(receiver->Razmer);
        if (pref && !receiver->Kop(zyNB(konec), *this, zyNB(0), zyNB(pref)))
            return zyOtkaz(ZY_DEKOD, s.zapis);
        vyvod.f = receiver;
        vyvod.poz = konec + pref;
        sboj = zyDekodirovat(r, vvod, dannye, vyvod, hod, s);
    }
    if (sboj) return zyOtkaz(ZY_DEKOD, sboj);
    return zamki.otpustit() ? zyGotovo(*this, receiver) : 0;
}

// Decodes this file into memory, or tells the size it needs, under the reader lock.
int ZYKFAJL64::Dekod(void* mem, unsigned long* size, const char* key, unsigned long prefix) {
    if (!hFajl || !size || !key) return 0;
    ZyOtlozhennyeOtchety otlozhit;
    ZyZamki zamki;
    zamki.dobavit(this, false);
    if (!zamki.vzjat()) return 0;
    ZyHod hod(*this, nullptr);
    if (!(Flagi & ZYF64_BEZ_OBNOVL)) TestDan();
    const uint64_t razmer = zy64(Razmer);
    size_t dlinaKljucha;
    const unsigned char* kljuch = zyKljuch(key, dlinaKljucha);
    unsigned char* ozu = static_cast<unsigned char*>(mem);
    // Without a key the file holds the data plain: its size is the size needed.
    uint64_t vsego = razmer;
    if (dlinaKljucha) {
        unsigned char dlina[8];
        if (razmer < 8 || prefix > razmer - 8 || !Kop(dlina, zyNB(prefix), 8)) return 0;
        vsego = zyProchest64(dlina);
    }
    if (!mem || *size < vsego) {
        if (zyShire32(vsego)) return zamki.otpustit() ? 2 : 0;
        *size = static_cast<unsigned long>(vsego);
        return zamki.otpustit() ? 1 : 0;
    }
    *size = static_cast<unsigned long>(vsego);
    if (dlinaKljucha == 0) {
        if (razmer && !Kop(mem, zyNB(0), (unsigned long)razmer)) return 0;
        return zamki.otpustit() ? zyGotovo(*this, nullptr) : 0;
    }
    const ZySerialy& s = ZY_S_DEKOD;
    ZyRabota r;
    if (!r.vydelit()) return zyOtkaz(ZY_DEKOD_OZU, 3);
    if (vsego < prefix) return zyOtkaz(ZY_DEKOD_OZU, s.dlinaZapisej, ERROR_INVALID_DATA);
    const uint64_t dannye = vsego - prefix;
    ZyVvod vvod;
    vvod.f = this;
    vvod.buf = r.vvod;
    vvod.poz = uint64_t(prefix) + 8;
    vvod.konec = razmer;
    if (const unsigned sboj = zyProveritZapisi(vvod, dannye, s)) return zyOtkaz(ZY_DEKOD_OZU, sboj);
    if (!r.chislo.kljuch(kljuch, dlinaKljucha, dannye) && dannye)
        return zyOtkaz(ZY_DEKOD_OZU, s.nolKljuch, ERROR_INVALID_PARAMETER);
    if (!hod.nachat("\"ZYKFAJL64\" - Decode", Imja, nullptr, razmer - prefix, ZY_DEKOD_OZU, 3))
        return 0;
    if (prefix && !Kop(mem, zyNB(0), prefix)) return zyOtkaz(ZY_DEKOD_OZU, s.dlinaZapisej);
    ZyVyvod vyvod;
    vyvod.ozu = ozu;
    vyvod.poz = prefix;
    const unsigned sboj = zyDekodirovat(r, vvod, dannye, vyvod, hod, s);
    if (sboj) return zyOtkaz(ZY_DEKOD_OZU, sboj);
    return zamki.otpustit() ? zyGotovo(*this, nullptr) : 0;
}

} // namespace Quorvel
