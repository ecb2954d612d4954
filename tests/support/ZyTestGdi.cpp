// The number of GDI objects of this process (see ZyTestGdi.h).
#include "ZyTestGdi.h"

#include <windows.h>

namespace zytest {

namespace {

// NOTE: Wine's GDI handles are an index into its handle table (32 up to 32 + 16384) in the low
// 16 bits, the object type in bits 16..23 and a generation count in bits 24..31; a handle is
// live when GetObjectType accepts it. The types a process creates through gdi32 and user32:
constexpr unsigned char kTipy[] = {0x01, 0x04, 0x05, 0x08, 0x0A, 0x10,
                                   0x21, 0x26, 0x30, 0x46, 0x50, 0x66};
constexpr unsigned long kPervyj = 32, kKolIndeksov = 16384;

// The live entries of Wine's handle table: one object at most per index.
unsigned long ZhivyeVTablice() {
    unsigned long n = 0;
    for (unsigned long i = kPervyj; i < kPervyj + kKolIndeksov; ++i) {
        bool est = false;
        for (unsigned char tip : kTipy) {
            for (unsigned long pokolenie = 0; pokolenie < 256 && !est; ++pokolenie) {
                const ULONG_PTR h = i | (ULONG_PTR(tip) << 16) | (ULONG_PTR(pokolenie) << 24);
                est = GetObjectType(reinterpret_cast<HGDIOBJ>(h)) != 0;
            }
            if (est) break;
        }
        n += est;
    }
    return n;
}

} // namespace

unsigned long GdiObjektovProcessa() {
    if (const DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return n;
    return ZhivyeVTablice(); // NOTE: Wine does not implement GetGuiResources
}

} // namespace zytest
