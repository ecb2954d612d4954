// The replaceable table of system calls used by the general-functions library.
#include "ZyStandartVyzovy.h"

namespace zyst {

namespace {

// The real system functions; filled when the library loads.
ZYS_VYZOVY_STANDART zyVyzovy = {
    ::CreateFileA, ::CreateFileMappingA, ::MapViewOfFile, ::CreateMutexA, ::HeapAlloc, ::WriteFile,
};

} // namespace

// The table the library calls through.
ZYS_VYZOVY_STANDART& ZyOS() {
    return zyVyzovy;
}

} // namespace zyst

// The same table for tests.
extern "C" ZYSTANDART_API zyst::ZYS_VYZOVY_STANDART* ZyStandartSistVyzovy(void) {
    return &zyst::ZyOS();
}
