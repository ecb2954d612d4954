// The system calls of the general-functions library that a test may want to fail, reached
// through one replaceable table (internal; not part of the public header).
//
// The translation file and block, the named lock of the file, and the memory reservation call
// the system through ZyOS(). A test replaces an entry with a function of its own (for example
// one that makes the second CreateFileMappingA fail) and puts the saved table back afterwards;
// the library itself never changes the table. The table is process-wide and not guarded:
// change it only while no call of the library runs.
#ifndef ZYSTANDARTVYZOVY_H
#define ZYSTANDARTVYZOVY_H

#include "ZyStandart.h"

namespace zyst {

// Entries are named after the system functions they stand for and have their signatures.
struct ZYS_VYZOVY_STANDART {
    HANDLE(WINAPI* CreateFileA)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
    HANDLE(WINAPI* CreateFileMappingA)(HANDLE, LPSECURITY_ATTRIBUTES, DWORD, DWORD, DWORD, LPCSTR);
    LPVOID(WINAPI* MapViewOfFile)(HANDLE, DWORD, DWORD, DWORD, SIZE_T);
    HANDLE(WINAPI* CreateMutexA)(LPSECURITY_ATTRIBUTES, BOOL, LPCSTR);
    LPVOID(WINAPI* HeapAlloc)(HANDLE, DWORD, SIZE_T);
    BOOL(WINAPI* WriteFile)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
};

// The table the library calls through.
ZYS_VYZOVY_STANDART& ZyOS();

} // namespace zyst

// The same table for tests (exported; not part of the public header).
extern "C" ZYSTANDART_API zyst::ZYS_VYZOVY_STANDART* ZyStandartSistVyzovy(void);

#endif // ZYSTANDARTVYZOVY_H
