// Test helper: injected failures of system calls. Replaces the system-call tables of the
// large-file library (ZyKFajl64SistVyzovy) and of the general-functions library
// (ZyStandartSistVyzovy) with counting wrappers, and makes the n-th call of one kind fail
// with a plausible error: allocation (HeapAlloc), mapping object (CreateFileMappingA, file
// mappings and named page-file sections), view (MapViewOfFile), file creation (CreateFileA)
// and named-object creation (CreateMutexA, CreateEventA, CreateSemaphoreA). Calls of a kind
// are counted over both libraries together.
#ifndef ZYTESTSBOI_H
#define ZYTESTSBOI_H

#include <windows.h>

namespace zytest {

enum class ZyVidVyzova { Vydelenie, Otobrazhenie, Vid, Fajl, Imennoj };
constexpr int kVidovVyzova = 5;

// "allocation", "mapping", "view", "file creation", "named object".
const char* ImjaVida(ZyVidVyzova vid);

// The number of handles this process holds: GetProcessHandleCount, or, where that gives
// nothing (Wine), the entries of this process in the system's handle list.
unsigned long DeskriptoryProcessa();

// Installs the wrappers for its lifetime (one at a time; both tables are put back on
// destruction). Nothing fails until Vzvesti is called.
class ZySboi {
public:
    ZySboi();
    ~ZySboi();
    ZySboi(const ZySboi&) = delete;
    ZySboi& operator=(const ZySboi&) = delete;

    // From now on the n-th call of `vid` fails (only that one); n 0 fails none. Resets the
    // counts.
    void Vzvesti(ZyVidVyzova vid, unsigned n);
    // The armed call was reached (and failed).
    bool Sluchilsja() const;
    // Calls of `vid` since the last Vzvesti.
    unsigned Vyzovov(ZyVidVyzova vid) const;
};

} // namespace zytest

#endif // ZYTESTSBOI_H
