// The replaceable table of system calls used by the large-file object.
#include "ZySistVyzovy.h"

namespace Quorvel {

namespace {

// The real system functions; filled when the library loads.
ZYS_SIST_VYZOVY zySistVyzovy = {
    ::CreateFileA,
    ::GetFileInformationByHandle,
    ::CreateFileMappingA,
    ::MapViewOfFile,
    ::UnmapViewOfFile,
    ::FlushViewOfFile,
    ::FlushFileBuffers,
    ::SetFilePointerEx,
    ::SetEndOfFile,
    ::SetFileTime,
    ::CloseHandle,
    ::CreateMutexA,
    ::CreateEventA,
    ::CreateSemaphoreA,
    ::ReleaseSemaphore,
    ::SetEvent,
    ::WaitForSingleObject,
    ::WaitForMultipleObjects,
    ::GlobalMemoryStatusEx,
    ::CreateThread,
    ::CompareStringA,
    ::GetTempFileNameA,
    ::HeapAlloc,
    ::RegisterClassExA,
    ::ReadFile,
    ::WriteFile,
    ::GetOverlappedResult,
    ::GetDriveTypeA,
    ::ReleaseMutex,
    ::GetFileSizeEx,
    ::GetFileTime,
    ::SetFileInformationByHandle,
    ::GetFileAttributesExA,
    ::LockFileEx,
    ::UnlockFileEx,
};

} // namespace

// The table the library calls through.
ZYS_SIST_VYZOVY& ZyOS() {
    return zySistVyzovy;
}

} // namespace Quorvel

// The same table for tests and diagnostics.
extern "C" ZYKFAJL64_API Quorvel::ZYS_SIST_VYZOVY* ZyKFajl64SistVyzovy(void) {
    return &Quorvel::ZyOS();
}
