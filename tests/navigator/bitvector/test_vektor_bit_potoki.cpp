// ZYK_VEKTOR_BIT written by two threads at once, as a controller's flags are: the window thread
// toggles the lock-key bits 69 and 70 while the controller thread toggles 66 and 67 of the
// same byte. Each thread checks that its own bits still hold what it wrote last.
#include "ZyKGLOrvanta2.h"

#include <gtest/gtest.h>

using namespace Quorvel;

namespace {

struct Pisatel {
    ZYK_VEKTOR_BIT* v;
    unsigned long a, b; // its two bits; nobody else writes them
    HANDLE start;
    long poteri = 0; // times its bits did not hold what it wrote
};

// Toggles the writer's two bits a million times.
DWORD WINAPI Pisat(void* arg) {
    Pisatel& p = *static_cast<Pisatel*>(arg);
    WaitForSingleObject(p.start, 10000);
    bool znach = false;
    for (long i = 0; i < 1000000; ++i) {
        if (p.v->Test(p.a, p.a) != znach || p.v->Test(p.b, p.b) != znach) ++p.poteri;
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
    Pisatel okno{&flagi, ZYBIT_SCROLL_LOCK, ZYBIT_NUM_LOCK, start};
    Pisatel kontroler{&flagi, ZYBIT_TAJMER_MYSHI, ZYBIT_PAUZA, start};
    HANDLE potoki[2] = {CreateThread(nullptr, 0, Pisat, &okno, 0, nullptr),
                        CreateThread(nullptr, 0, Pisat, &kontroler, 0, nullptr)};
    ASSERT_TRUE(start && potoki[0] && potoki[1]);
    SetEvent(start);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(2, potoki, TRUE, 60000));
    EXPECT_EQ(0, okno.poteri) << "lock-key bits undone by the controller thread";
    EXPECT_EQ(0, kontroler.poteri) << "bits 66/67 undone by the window thread";
    EXPECT_FALSE(flagi.Test(64, 71)) << "an even number of toggles ends clear";
    for (HANDLE h : {potoki[0], potoki[1], start})
        CloseHandle(h);
}
