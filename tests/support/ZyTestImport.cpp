// Replacing one import-table entry of a module (see ZyTestImport.h).
#include "ZyTestImport.h"

#include <cstring>

namespace zytest {

namespace {

// The import-table entry through which `modul` calls `funkcija` of `dll`, or null.
void** NajtiVhod(HMODULE modul, const char* dll, const char* funkcija) {
    auto* baza = reinterpret_cast<unsigned char*>(modul);
    if (!baza) return nullptr;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(baza);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(baza + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (dir.VirtualAddress == 0) return nullptr;
    for (auto* imp = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(baza + dir.VirtualAddress);
         imp->Name != 0; ++imp) {
        if (_stricmp(reinterpret_cast<const char*>(baza + imp->Name), dll) != 0) continue;
        if (imp->OriginalFirstThunk == 0) continue; // no names to look the function up by
        auto* imena = reinterpret_cast<const IMAGE_THUNK_DATA*>(baza + imp->OriginalFirstThunk);
        auto* adresa = reinterpret_cast<IMAGE_THUNK_DATA*>(baza + imp->FirstThunk);
        for (; imena->u1.AddressOfData != 0; ++imena, ++adresa) {
            if (IMAGE_SNAP_BY_ORDINAL(imena->u1.Ordinal)) continue;
            const auto* po =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(baza + imena->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(po->Name), funkcija) == 0)
                return reinterpret_cast<void**>(&adresa->u1.Function);
        }
    }
    return nullptr;
}

// Writes `znachenie` into the entry (the import table is read-only once loaded).
bool Zapisat(void** mesto, void* znachenie) {
    DWORD bylo = 0;
    if (!VirtualProtect(mesto, sizeof *mesto, PAGE_READWRITE, &bylo)) return false;
    *mesto = znachenie;
    VirtualProtect(mesto, sizeof *mesto, bylo, &bylo);
    return true;
}

} // namespace

ZamenaImporta::ZamenaImporta(HMODULE modul, const char* dll, const char* funkcija, void* zamena) {
    void** mesto = NajtiVhod(modul, dll, funkcija);
    if (!mesto) return;
    void* prezhnee = *mesto;
    if (!Zapisat(mesto, zamena)) return;
    mesto_ = mesto;
    prezhnee_ = prezhnee;
}

ZamenaImporta::~ZamenaImporta() {
    if (mesto_) Zapisat(mesto_, prezhnee_);
}

} // namespace zytest
