// ZyKFajl64: the large-file library.
//
//  - ZYKNB64: an unsigned 64-bit number (low half first) whose arithmetic saturates at the
//    largest value and clamps at zero; division and remainder go through the x87 extended
//    format; text conversion in four radices with digit grouping.
//  - ZYKFAJL64: byte access to files of up to 2^64 - 1 bytes through memory-mapped zones,
//    copy / insert / delete / transfer between files and memory, named reader/writer locks
//    shared by every process that opens the same path, and a progress window.
//  - Disk space, directory-path creation, window centring and child lookup.
#ifndef ZYKFAJL64_H
#define ZYKFAJL64_H

#include <windows.h>

#if defined(ZYKFAJL64_BUILD)
#define ZYKFAJL64_API __declspec(dllexport)
#else
#define ZYKFAJL64_API __declspec(dllimport)
#endif

#include "ZyNB64.h"

namespace Quorvel {

// Option and state bits of ZYKFAJL64::Flagi.
enum : unsigned long {
    ZYF64_ZAPIS = 1ul << 0,         // writable (set by open)
    ZYF64_VREMENNYJ = 1ul << 2,     // temporary file
    ZYF64_BEZ_SBROSA = 1ul << 16,   // do not flush views and buffers before unmapping
    ZYF64_ADAPTIV = 1ul << 17,      // adaptive re-measure interval
    ZYF64_VPERED = 1ul << 18,       // zones start at the addressed byte
    ZYF64_BEZ_SHTAMPA = 1ul << 19,  // no last-write stamp after a change
    ZYF64_BEZ_OBNOVL = 1ul << 20,   // no refresh (TestDan) before positioning and reading
    ZYF64_PROGRESS = 1ul << 21,     // show the progress window
    ZYF64_SUSHESTVOVAL = 1ul << 28, // the file existed when it was opened
};

// Pattern search (VzPozStr) and encode/decode (Kod, Dekod): a byte table of whole rows of 256
// (row r: the file byte Bajty[r * 256 + p] counts as equal to the pattern byte p), and the
// options word of the search (bits 0-27 the stride, 0 = every position).
struct ZYSMASSIV {
    unsigned long Razmer; // bytes in the table; only whole rows of 256 count
    unsigned char* Bajty; // the rows
};
enum : unsigned long {
    ZYPS_SHAG = 0x0FFFFFFFul, // stride mask
    ZYPS_OT_POZ = 1ul << 28,  // begin at the object's position
    ZYPS_NAZAD = 1ul << 29,   // search backward
    ZYPS_V_ZONE = 1ul << 30,  // only inside the scan zone
};
// The table argument of VzPozStr that selects the built-in Latin / Cyrillic (Windows-1251)
// case table.
#define ZY_TABLICA_REGISTRA (reinterpret_cast<Quorvel::ZYSMASSIV*>(1))

// A file of up to 2^64 - 1 bytes addressed byte by byte through a mapped zone. One thread at
// a time; several processes may open the same path (named locks). Copying an object
// transfers the open file: the source is left closed.
class ZYKFAJL64_API ZYKFAJL64 {
public:
    unsigned long Flagi;               // option and state bits (ZYF64_*)
    unsigned long Granuljarnost;       // allocation granularity; zone starts are multiples
    unsigned short MnZony;             // zone length in granularity units (>= 2 when mapped)
    HANDLE hFajl;                      // the open file
    BY_HANDLE_FILE_INFORMATION* Info;  // owned copy of the file information record
    ZYKNB64 Razmer;                    // file size in bytes
    ZYKNB64 PoslIndeks;                // size - 1, 0 for an empty file
    char* Imja;                        // owned full path
    unsigned short DlinaImeni;         // characters in the full path (< 260)
    SECURITY_ATTRIBUTES* Zashita;      // the caller's, from the last open (not owned)
    HANDLE hOtobr;                     // file-mapping object; none while the file is empty
    unsigned char* BazaZony;           // mapped zone, null when unmapped
    unsigned long DlinaZony;           // bytes in the zone
    ZYKNB64 NachaloZony;               // file offset of the zone's first byte
    ZYKNB64 KonecZony;                 // first byte after the zone
    ZYKNB64 Poz;                       // byte last addressed or set by VsPoz
    HANDLE hZatvor;                    // writer gate (event "E")
    HANDLE hPropusk;                   // reader pass (semaphore "S")
    HANDLE hSchetchik;                 // shared reader count (page "P")
    HANDLE hMutex;                     // this file's mutex ("M"), held during open and close
    HANDLE hMutexSozd;                 // class-wide creation mutex, temporary files only
    unsigned long Oshibka;             // the byte operator[] refers to when it fails
    unsigned long IntervalIzm;         // re-measure interval, ms (3000 .. 60000)
    unsigned long PoslIzm;             // tick count of the last re-measure
    unsigned long PotokProgressa;      // id of the progress-window thread, 0 when none
    ZYKNB64 EdProgressa;               // bytes that make one percent
    ZYKNB64 Sdelano;                   // bytes the running operation has handled
    ZYKNB64 SkanNiz;                   // scan zone, low bound
    ZYKNB64 SkanVerh;                  // scan zone, high bound
    ZYKNB64 Marker;                    // all ones from construction on

    ZYKFAJL64();
    ZYKFAJL64(const ZYKFAJL64& other);            // transfer
    ZYKFAJL64& operator=(const ZYKFAJL64& other); // transfer
    ~ZYKFAJL64();

    // Open; the last six arguments are those of CreateFileA. (const char*)-1 asks for a
    // temporary file. Returns 1 on success, 0 on failure (reported in a message box).
    int operator()(const char* name, unsigned long access, unsigned long share,
                   SECURITY_ATTRIBUTES* sa, unsigned long disposition, unsigned long flags,
                   void* templateFile);
    unsigned char& operator[](const ZYKNB64& index);

    int VsPoz(const ZYKNB64& pos);
    int VsPoz(unsigned long pos);
    int VsPoz(unsigned long high, unsigned long low);
    void VsZonSkan(const ZYKNB64& a, const ZYKNB64& b);
    void VsZonSkan(unsigned long a, unsigned long b);
    void VsZonSkan(unsigned long a, const ZYKNB64& b);
    void VsZonSkan(const ZYKNB64& a, unsigned long b);
    int VneZonSkan(const ZYKNB64& pos);
    int FIN(const ZYKNB64& end);
    void DES();
    int STER();
    int VwklPamjat();
    void VsVrZap();
    void TestDan();
    int FEK_VsImjaOtr(unsigned char* buf);
    int FEK_VsMnRazmPam();
    int FEK_VsMnRazmPamVr();

    // Copy, insert, delete, transfer. 1 done, 0 failed, -1 .. -5 done with a clamped
    // position or an emptied file.
    int Kop(const ZYKNB64& dst, const ZYKNB64& src, const ZYKNB64& len);
    int Kop(const ZYKNB64& dst, const void* mem, unsigned long len);
    int Kop(void* mem, const ZYKNB64& src, unsigned long len);
    int Kop(const ZYKNB64& dst, ZYKFAJL64& from, const ZYKNB64& src, const ZYKNB64& len);
    int Vkl(const ZYKNB64& pos, const ZYKNB64& src, const ZYKNB64& len);
    int Vkl(const ZYKNB64& pos, const void* mem, unsigned long len);
    int Vkl(const ZYKNB64& pos, ZYKFAJL64& from, const ZYKNB64& src, const ZYKNB64& len);
    int Vwkl(const ZYKNB64& pos, const ZYKNB64& len);
    int Peredat(const ZYKNB64& dst, const ZYKNB64& src, const ZYKNB64& len);
    int Peredat(void* mem, const ZYKNB64& src, unsigned long len);
    int Peredat(const ZYKNB64& dst, ZYKFAJL64& from, const ZYKNB64& src, const ZYKNB64& len);

    // Cross-process synchronisation (writer gate, reader pass, reader count).
    int FEK_SozdatSinhronObj();
    int FEK_SinhronZapisPref();
    int FEK_SinhronZapisSyf();
    int FEK_SinhronChtenPref();
    int FEK_SinhronChtenSyf();
    int FEK_DesSinhronObj();

    // Pattern search: the nth (null or <= 1: the first) occurrence of `length` bytes at
    // `pattern` (0: a zero-terminated text), options ZYPS_*, exact or through `table` (null,
    // ZY_TABLICA_REGISTRA, or the caller's rows). `count` gets the occurrences found, `found`
    // the last one's position. 1 found (the position after it, or at it backward, is set);
    // -1 not found or that position lies past the end; 0 no pattern or failure.
    int VzPozStr(ZYKNB64& count, ZYKNB64& found, const void* pattern, unsigned long length,
                 unsigned long options, const ZYKNB64* nth, ZYSMASSIV* table);
    // Encode this file (the first `prefix` bytes plain) onto the end of `receiver`, or in place
    // with a null receiver; decode likewise. -1 done (position at the end), 0 failed.
    int Kod(const char* key, const ZYKNB64& prefix, ZYKFAJL64* receiver);
    int Dekod(const char* key, const ZYKNB64& prefix, ZYKFAJL64* receiver);
    // Encode bytes 0 .. end - 1 of `mem` (the first `prefix` plain) onto the end of this file.
    int Kod(const char* key, const void* mem, unsigned long prefix, unsigned long end);
    // Decode this file into `mem` of `*size` bytes; `*size` receives the unencoded length.
    // -1 done, 0 failed, 1 size query answered (null `mem` or too small), 2 the length needs
    // more than 32 bits.
    int Dekod(void* mem, unsigned long* size, const char* key, unsigned long prefix);
};

// Free and total space of the disk holding `path`. Non-zero on success.
ZYKFAJL64_API int ZyVzDiskovoeProstranstvo(const char* path, ZYKNB64* svobodnoDostupno,
                                           ZYKNB64* vsego, ZYKNB64* vsegoSvobodno);

} // namespace Quorvel

extern "C" {
// Creates a directory with all missing parents: 1 created, -1 the last one failed, 0 bad path.
ZYKFAJL64_API int ZySozdatPyt(const char* path, SECURITY_ATTRIBUTES* sa);
// Centres `okno` over `nad` (kept on the screen), then moves it by (dx, dy).
ZYKFAJL64_API BOOL ZyOknoVCentr(HWND okno, HWND nad, int dx, int dy);
// The child of `roditel` with control identifier `id`, or null.
ZYKFAJL64_API HWND ZyVzDocherneeOkno(HWND roditel, int id);
}

#endif // ZYKFAJL64_H
