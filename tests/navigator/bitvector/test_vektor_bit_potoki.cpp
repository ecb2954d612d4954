// ZYK_VEKTOR_BIT written by two threads at once, as a controller's flags are: the window thread
// sets and clears the lock-key bits 69 and 70 while the controller thread sets and clears bits
// of the same byte (66 mouse-rest timer, 67 pause). No thread may undo the other's change.
#include "ZyKGLOrvanta2.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

using namespace Quorvel;

namespace {

constexpr long kRaz = 1000000;

// One writer: toggles its two bits kRaz times and, before each change, checks that both still
// hold what it wrote last (nobody else writes them).
struct Pisatel {
    ZYK_VEKTOR_BIT* v;
    unsigned long a, b;
    HANDLE start;
    long poteri = 0;
};

DWORD WINAPI Pisat(void* arg) {
    Pisatel& p = *static_cast<Pisatel*>(arg);
    WaitForSingleObject(p.start, 10000);
    bool znach = false;
    for (long i = 0; i < kRaz; ++i) {
        if (p.v->Test(p.a, p.a) != znach || p.v->Test(p.b, p.b) != znach) {
            ++p.poteri;
            znach = p.v->Test(p.a, p.a); // go on from what is there
        }
        znach = !znach;
        if (znach) {
            p.v->Vkl(p.a, p.a);
            p.v->Vkl(p.b, p.b);
        } else {
            p.v->Vwkl(p.a, p.a);
            p.v->Vwkl(p.b, p.b);
        }
    }
    return 0;
}

} // namespace

TEST(VektorBitPotoki, LockKeyBitsAndControllerBitsOfOneByteLoseNoUpdate) {
    ZYK_VEKTOR_BIT flagi(ZY_KOL_FLAGOV, 0);
    HANDLE start = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(nullptr, start);
    Pisatel okno{&flagi, ZYBIT_SCROLL_LOCK, ZYBIT_NUM_LOCK, start};
    Pisatel kontroler{&flagi, ZYBIT_TAJMER_MYSHI, ZYBIT_PAUZA, start};
    HANDLE potoki[2] = {CreateThread(nullptr, 0, Pisat, &okno, 0, nullptr),
                        CreateThread(nullptr, 0, Pisat, &kontroler, 0, nullptr)};
    ASSERT_NE(nullptr, potoki[0]);
    ASSERT_NE(nullptr, potoki[1]);
    SetEvent(start);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(2, potoki, TRUE, 60000));
    EXPECT_EQ(0, okno.poteri) << "lock-key bits undone by the controller thread";
    EXPECT_EQ(0, kontroler.poteri) << "bits 66/67 undone by the window thread";
    // kRaz toggles from clear: even counts end clear; the other bits of the byte never moved.
    EXPECT_FALSE(flagi.Test(64, 71));
    for (HANDLE h : potoki)
        CloseHandle(h);
    CloseHandle(start);
}
