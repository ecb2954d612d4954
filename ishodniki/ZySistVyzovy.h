// The system calls of the large-file object, reached through one replaceable table (internal).
//
// Every call whose failure the file object reports goes through ZyOS(). A test replaces an
// entry with a function of its own (for example one that makes the third MapViewOfFile fail)
// and puts the saved table back afterwards; the library itself never changes the table.
// The table is process-wide and not guarded: change it only while no file operation runs.
#ifndef ZYSISTVYZOVY_H
#define ZYSISTVYZOVY_H

#include <windows.h>

#include "ZyKFajl64.h"

namespace Quorvel {

// Entries are named after the system functions they stand for and have their signatures.
struct ZYS_SIST_VYZOVY {
    HANDLE(WINAPI* CreateFileA)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
    BOOL(WINAPI* GetFileInformationByHandle)(HANDLE, LPBY_HANDLE_FILE_INFORMATION);
    HANDLE(WINAPI* CreateFileMappingA)(HANDLE, LPSECURITY_ATTRIBUTES, DWORD, DWORD, DWORD, LPCSTR);
    LPVOID(WINAPI* MapViewOfFile)(HANDLE, DWORD, DWORD, DWORD, SIZE_T);
    BOOL(WINAPI* UnmapViewOfFile)(LPCVOID);
    BOOL(WINAPI* FlushViewOfFile)(LPCVOID, SIZE_T);
    BOOL(WINAPI* FlushFileBuffers)(HANDLE);
    BOOL(WINAPI* SetFilePointerEx)(HANDLE, LARGE_INTEGER, PLARGE_INTEGER, DWORD);
    BOOL(WINAPI* SetEndOfFile)(HANDLE);
    BOOL(WINAPI* SetFileTime)(HANDLE, const FILETIME*, const FILETIME*, const FILETIME*);
    BOOL(WINAPI* CloseHandle)(HANDLE);
    HANDLE(WINAPI* CreateMutexA)(LPSECURITY_ATTRIBUTES, BOOL, LPCSTR);
    HANDLE(WINAPI* CreateEventA)(LPSECURITY_ATTRIBUTES, BOOL, BOOL, LPCSTR);
    HANDLE(WINAPI* CreateSemaphoreA)(LPSECURITY_ATTRIBUTES, LONG, LONG, LPCSTR);
    BOOL(WINAPI* ReleaseSemaphore)(HANDLE, LONG, LPLONG);
    BOOL(WINAPI* SetEvent)(HANDLE);
    DWORD(WINAPI* WaitForSingleObject)(HANDLE, DWORD);
    DWORD(WINAPI* WaitForMultipleObjects)(DWORD, const HANDLE*, BOOL, DWORD);
    BOOL(WINAPI* GlobalMemoryStatusEx)(LPMEMORYSTATUSEX);
    HANDLE(WINAPI* CreateThread)
    (LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE, LPVOID, DWORD, LPDWORD);
    int(WINAPI* CompareStringA)(LCID, DWORD, LPCSTR, int, LPCSTR, int);
    UINT(WINAPI* GetTempFileNameA)(LPCSTR, LPCSTR, UINT, LPSTR);
    LPVOID(WINAPI* HeapAlloc)(HANDLE, DWORD, SIZE_T);
    ATOM(WINAPI* RegisterClassExA)(const WNDCLASSEXA*);
    BOOL(WINAPI* ReadFile)(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);
    BOOL(WINAPI* WriteFile)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
    BOOL(WINAPI* GetOverlappedResult)(HANDLE, LPOVERLAPPED, LPDWORD, BOOL);
    UINT(WINAPI* GetDriveTypeA)(LPCSTR);
    BOOL(WINAPI* ReleaseMutex)(HANDLE);
    BOOL(WINAPI* GetFileSizeEx)(HANDLE, PLARGE_INTEGER);
    BOOL(WINAPI* GetFileTime)(HANDLE, LPFILETIME, LPFILETIME, LPFILETIME);
    BOOL(WINAPI* SetFileInformationByHandle)(HANDLE, FILE_INFO_BY_HANDLE_CLASS, LPVOID, DWORD);
    BOOL(WINAPI* GetFileAttributesExA)(LPCSTR, GET_FILEEX_INFO_LEVELS, LPVOID);
    BOOL(WINAPI* LockFileEx)(HANDLE, DWORD, DWORD, DWORD, DWORD, LPOVERLAPPED);
    BOOL(WINAPI* UnlockFileEx)(HANDLE, DWORD, DWORD, DWORD, LPOVERLAPPED);
};

// The table the library calls through.
ZYS_SIST_VYZOVY& ZyOS();

} // namespace Quorvel

// The same table for tests and diagnostics (exported; not part of the public header).
extern "C" ZYKFAJL64_API Quorvel::ZYS_SIST_VYZOVY* ZyKFajl64SistVyzovy(void);

#endif // ZYSISTVYZOVY_H
