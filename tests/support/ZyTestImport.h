// Test helper: a system call of one module made to fail (or observed) by replacing its entry
// in that module's import table, for the module's calls only and while the object lives.
#ifndef ZYTESTIMPORT_H
#define ZYTESTIMPORT_H

#include <windows.h>

namespace zytest {

class ZamenaImporta {
public:
    // Calls that `modul` makes to `funkcija` of the DLL `dll` (name compared without case) go to
    // `zamena` instead. Nothing changes when the module does not import the function (Est()).
    ZamenaImporta(HMODULE modul, const char* dll, const char* funkcija, void* zamena);
    // Puts the original address back.
    ~ZamenaImporta();
    ZamenaImporta(const ZamenaImporta&) = delete;
    ZamenaImporta& operator=(const ZamenaImporta&) = delete;

    // The import was found and replaced.
    bool Est() const { return mesto_ != nullptr; }

private:
    void** mesto_ = nullptr;   // the import-table entry
    void* prezhnee_ = nullptr; // the address it held
};

} // namespace zytest

#endif // ZYTESTIMPORT_H
