// Editing a number by a command text.
#include "ZyKGLOrvanta2.h"

#include <gtest/gtest.h>

#include <string>

using namespace Quorvel;

namespace {

struct Sluchaj {
    double do_;
    const char* tekst;
    double posle;
};

const Sluchaj kSluchai[] = {
    {5.0, "+2", 7.0},
    {5.0, "-7", 0.0},
    {5.0, "-2", 3.0},
    {5.0, "/0", 5.0},
    {5.0, "/2", 2.5},
    {5.0, "*3", 15.0},
    {5.0, "2.5", 2.5},
    {5.0, ".5", 0.5},
    {5.0, "12abc", 12.0},
    {-5.0, "x1", 5.0},
    {-5.0, "+1", 6.0},
    {-5.0, "*-2", 10.0},
    {5.0, "+-2", 7.0},
    {5.0, "--2", 3.0},
    {5.0, "-5", 0.0},
    {5.0, "+", 5.0},
    {-5.0, "-", -5.0},
    {5.0, "+abc", 5.0},
    {5.0, "0", 0.0},
    {5.0, "1e3", 1000.0},
    // A result that is no finite number changes nothing.
    {5.0, "1e999", 5.0},
    {5.0, "*1e999", 5.0},
    {5.0, "+1e999", 5.0},
    {5.0, "0x1p9999", 5.0},
    {1e300, "*1e300", 1e300},
    {5.0, "/1e-320", 5.0},
    {5.0, "-1e999", 5.0},
    {5.0, "/nan", 5.0},
};

} // namespace

TEST(IzmenitZnachenie, CommandsSetOrChangeTheMagnitude) {
    for (const Sluchaj& s : kSluchai) {
        double chislo = s.do_;
        std::string tekst = s.tekst;
        ZyIzmenitZnachenie(&chislo, &tekst[0]);
        EXPECT_DOUBLE_EQ(s.posle, chislo) << s.do_ << " with \"" << s.tekst << "\"";
        EXPECT_EQ(s.tekst, tekst) << "the text is not changed";
    }
}

TEST(IzmenitZnachenie, NullOrEmptyChangesNothing) {
    double chislo = -3.0;
    char pusto[] = "";
    ZyIzmenitZnachenie(&chislo, pusto);
    EXPECT_EQ(-3.0, chislo);
    ZyIzmenitZnachenie(&chislo, nullptr);
    EXPECT_EQ(-3.0, chislo);
    char plus[] = "+1";
    ZyIzmenitZnachenie(nullptr, plus); // must not crash
}
