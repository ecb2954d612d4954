// The main() of a test program that provokes many message boxes: its windows are left unmanaged
// first (the program starts again to get that), then the tests run.
#include <gtest/gtest.h>

#include "ZyTestBezMenedzhera.h"

int main(int argc, char** argv) {
    if (zytest::BezMenedzheraOkon()) return zytest::ZapustitZanovo();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
