// ZYKKESH_MODULEJ: the scene modules one controller has loaded (internal to the engine).
#ifndef ZYKESHMODULEJ_H
#define ZYKESHMODULEJ_H

#include "ZyKGLOrvanta2.h"

#include <string>
#include <vector>

namespace Quorvel {

// Every successful load of a scene function adds its module handle here, oldest first. When
// the cache holds more than `emkost` handles, the oldest is released with FreeLibrary, so a
// module stays loaded while one of its handles is cached. Destroying the cache releases all.
class ZYKKESH_MODULEJ {
public:
    struct Zapis {
        HMODULE modul;    // handle from LoadLibraryA (one reference)
        std::string imja; // module file name: the text between the last two backslashes
    };
    long emkost = 8;           // two scenes of four functions
    std::vector<Zapis> zapisi; // load order, oldest first

    ZYKKESH_MODULEJ() = default;
    ZYKKESH_MODULEJ(const ZYKKESH_MODULEJ&) = delete;
    ZYKKESH_MODULEJ& operator=(const ZYKKESH_MODULEJ&) = delete;
    ~ZYKKESH_MODULEJ();

    // Caches one reference to `modul` loaded for the scene-function name `polnoeImja`, then
    // evicts the oldest references while the cache is over capacity (see the unit).
    void Dobavit(HMODULE modul, const char* polnoeImja, ZYKGLKONTROL& kontrol);
    // Sets the capacity to 4 n when n > 1; returns the capacity.
    long VsEmkost(long n);
    // Number of cached references.
    unsigned long Kol() const { return static_cast<unsigned long>(zapisi.size()); }
};

// The module file name of a scene-function name: the text between its second-to-last and last
// backslash, or everything before the only backslash; empty without a backslash.
std::string ZyImjaModulja(const char* polnoeImja);

} // namespace Quorvel

#endif
