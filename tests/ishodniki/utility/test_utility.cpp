// The free functions of the large-file library: ZySozdatPyt in the test's scratch directory,
// ZyVzDiskovoeProstranstvo against the platform's own query, ZyOknoVCentr and
// ZyVzDocherneeOkno on real windows of the 1024 x 768 screen.
#include "ZyKFajl64.h"
#include "ZyTestPapki.h"

#include <gtest/gtest.h>

#include <string>

using namespace Quorvel;

namespace {

// `put` is an existing directory.
bool EstKatalog(const std::string& put) {
    const DWORD a = GetFileAttributesA(put.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// Something (file or directory) exists at `put`.
bool Sushestvuet(const std::string& put) {
    return GetFileAttributesA(put.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Every run starts in an empty directory "rabota" below the scratch directory.
class ChistyjKatalog : public ::testing::Environment {
public:
    void SetUp() override {
        zytest::UdalitDerevo("rabota");
        ASSERT_TRUE(CreateDirectoryA("rabota", nullptr));
        ASSERT_TRUE(SetCurrentDirectoryA("rabota"));
    }
};

const auto* const kChistyj = ::testing::AddGlobalTestEnvironment(new ChistyjKatalog);

TEST(ZySozdatPyt, ThreeRelativeLevelsThenAgain) {
    ASSERT_EQ(ZySozdatPyt("rel1\\rel2\\rel3", nullptr), 1);
    EXPECT_TRUE(EstKatalog("rel1"));
    EXPECT_TRUE(EstKatalog("rel1\\rel2"));
    EXPECT_TRUE(EstKatalog("rel1\\rel2\\rel3"));
    EXPECT_EQ(ZySozdatPyt("rel1\\rel2\\rel3", nullptr), -1) << "an existing directory";
    EXPECT_EQ(ZySozdatPyt("rel1\\rel2\\rel4", nullptr), 1) << "only the last one missing";
}

TEST(ZySozdatPyt, BadPathsCreateNothing) {
    EXPECT_EQ(ZySozdatPyt(nullptr, nullptr), 0);
    EXPECT_EQ(ZySozdatPyt("", nullptr), 0);
    const std::string dlinnyj = "dlinnyj\\" + std::string(292, 'd');
    ASSERT_EQ(dlinnyj.size(), 300u);
    EXPECT_EQ(ZySozdatPyt(dlinnyj.c_str(), nullptr), 0);
    EXPECT_FALSE(Sushestvuet("dlinnyj"));
    // The full path counts: a relative path that fits alone but not below the current
    // directory is refused as well.
    const std::string cwd = zytest::TekushchajaPapka();
    const std::string vprityk = "vprityk\\" + std::string(259 - cwd.size() - 1 - 8, 'v');
    ASSERT_EQ(cwd.size() + 1 + vprityk.size(), 259u);
    EXPECT_EQ(ZySozdatPyt((vprityk + "v").c_str(), nullptr), 0) << "260 characters";
    EXPECT_FALSE(Sushestvuet("vprityk"));
    const std::string absol(260, 'a');
    EXPECT_EQ(ZySozdatPyt(("C:\\" + absol.substr(3)).c_str(), nullptr), 0);
}

TEST(ZySozdatPyt, FullPathsSeparatorsAndTrailingBackslash) {
    const std::string cwd = zytest::TekushchajaPapka();
    EXPECT_EQ(ZySozdatPyt((cwd + "\\abs1\\abs2").c_str(), nullptr), 1);
    EXPECT_TRUE(EstKatalog("abs1\\abs2"));
    EXPECT_EQ(ZySozdatPyt("slash1/slash2/slash3", nullptr), 1);
    EXPECT_TRUE(EstKatalog("slash1\\slash2\\slash3"));
    EXPECT_EQ(ZySozdatPyt("hvost1\\hvost2\\", nullptr), 1) << "a trailing separator";
    EXPECT_TRUE(EstKatalog("hvost1\\hvost2"));
    EXPECT_EQ(ZySozdatPyt("\\kor1\\kor2", nullptr), 1) << "a leading separator stays relative";
    EXPECT_TRUE(EstKatalog("kor1\\kor2"));
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, FALSE};
    EXPECT_EQ(ZySozdatPyt("zashita1\\zashita2", &sa), 1);
    EXPECT_TRUE(EstKatalog("zashita1\\zashita2"));
}

TEST(ZySozdatPyt, AFileInTheWayGivesMinusOne) {
    HANDLE f = CreateFileA("fajl_na_puti", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    CloseHandle(f);
    EXPECT_EQ(ZySozdatPyt("fajl_na_puti\\pod", nullptr), -1);
    EXPECT_FALSE(EstKatalog("fajl_na_puti"));
    EXPECT_EQ(ZySozdatPyt("fajl_na_puti", nullptr), -1);
}

TEST(ZyVzDiskovoeProstranstvo, AgreesWithThePlatform) {
    ZYKNB64 dostupno{1, 1}, vsego{1, 1}, svobodno{1, 1};
    ASSERT_NE(ZyVzDiskovoeProstranstvo(".\\", &dostupno, &vsego, &svobodno), 0);
    ULARGE_INTEGER d, v, s;
    ASSERT_TRUE(GetDiskFreeSpaceExA(".\\", &d, &v, &s));
    EXPECT_EQ(vsego.Ml, v.LowPart);
    EXPECT_EQ(vsego.St, v.HighPart);
    EXPECT_TRUE(vsego > 0ul);
    EXPECT_TRUE(dostupno <= vsego);
    EXPECT_TRUE(svobodno <= vsego);
    // Any of the results may be left out.
    ZYKNB64 tolkoVsego{0, 0};
    EXPECT_NE(ZyVzDiskovoeProstranstvo(nullptr, nullptr, &tolkoVsego, nullptr), 0);
    EXPECT_TRUE(tolkoVsego > 0ul);
    EXPECT_EQ(ZyVzDiskovoeProstranstvo("\\\\nikakoj\\disk\\", &dostupno, &vsego, nullptr), 0);
}

// A window of the test, destroyed at the end of the scope.
class Okno {
public:
    Okno(DWORD stil, int x, int y, int w, int h, HWND roditel = nullptr, int id = 0)
        : h_(CreateWindowExA(0, "STATIC", "", stil, x, y, w, h, roditel,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr)) {
    }
    ~Okno() {
        if (h_) DestroyWindow(h_);
    }
    Okno(const Okno&) = delete;
    Okno& operator=(const Okno&) = delete;
    HWND h() const { return h_; }

private:
    HWND h_;
};

POINT Mesto(HWND h) {
    RECT r;
    GetWindowRect(h, &r);
    return POINT{r.left, r.top};
}

TEST(ZyOknoVCentr, CentresOverTheDesktop) {
    ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
    Okno o(WS_POPUP, 5, 5, 640, 170);
    ASSERT_TRUE(o.h());
    ASSERT_TRUE(ZyOknoVCentr(o.h(), GetDesktopWindow(), 0, 0));
    EXPECT_EQ(Mesto(o.h()).x, 192);
    EXPECT_EQ(Mesto(o.h()).y, 299);
    ASSERT_TRUE(ZyOknoVCentr(o.h(), nullptr, 10, -5)) << "null: the desktop, then the offset";
    EXPECT_EQ(Mesto(o.h()).x, 202);
    EXPECT_EQ(Mesto(o.h()).y, 294);
    RECT r;
    GetWindowRect(o.h(), &r);
    EXPECT_EQ(r.right - r.left, 640) << "the size stays";
    EXPECT_EQ(r.bottom - r.top, 170);
}

TEST(ZyOknoVCentr, StaysOnTheScreen) {
    Okno o(WS_POPUP, 0, 0, 640, 170);
    Okno sprava(WS_POPUP, 900, 700, 100, 60);
    ASSERT_TRUE(ZyOknoVCentr(o.h(), sprava.h(), 0, 0));
    EXPECT_EQ(Mesto(o.h()).x, 1024 - 640);
    EXPECT_EQ(Mesto(o.h()).y, 768 - 170);
    Okno sleva(WS_POPUP, 10, 20, 100, 60);
    ASSERT_TRUE(ZyOknoVCentr(o.h(), sleva.h(), 0, 0));
    EXPECT_EQ(Mesto(o.h()).x, 0);
    EXPECT_EQ(Mesto(o.h()).y, 0);
    Okno bolshoe(WS_POPUP, 100, 100, 801, 301);
    ASSERT_TRUE(ZyOknoVCentr(o.h(), bolshoe.h(), 0, 0));
    EXPECT_EQ(Mesto(o.h()).x, 100 + (801 - 640) / 2) << "halves rounded toward zero";
    EXPECT_EQ(Mesto(o.h()).y, 100 + (301 - 170) / 2);
    Okno uzkoe(WS_POPUP, 300, 300, 41, 21);
    ASSERT_TRUE(ZyOknoVCentr(o.h(), uzkoe.h(), 0, 0));
    EXPECT_EQ(Mesto(o.h()).x, 300 + (41 - 640) / 2) << "a negative half rounded toward zero";
    EXPECT_EQ(Mesto(o.h()).y, 300 + (21 - 170) / 2);
}

TEST(ZyOknoVCentr, ChildOverItsParentAndBadWindows) {
    Okno roditel(WS_POPUP, 100, 50, 400, 300);
    Okno rebenok(WS_CHILD, 0, 0, 50, 40, roditel.h(), 1);
    ASSERT_TRUE(ZyOknoVCentr(rebenok.h(), roditel.h(), 0, 0));
    EXPECT_EQ(Mesto(rebenok.h()).x, 100 + (400 - 50) / 2) << "screen position of the child";
    EXPECT_EQ(Mesto(rebenok.h()).y, 50 + (300 - 40) / 2);
    EXPECT_FALSE(ZyOknoVCentr(nullptr, roditel.h(), 0, 0));
    EXPECT_FALSE(ZyOknoVCentr(reinterpret_cast<HWND>(0x1234), nullptr, 0, 0));
}

TEST(ZyVzDocherneeOkno, FindsTheFirstChildWithTheIdentifier) {
    Okno roditel(WS_POPUP, 0, 0, 200, 200);
    EXPECT_EQ(ZyVzDocherneeOkno(roditel.h(), 1), nullptr) << "no children";
    EXPECT_EQ(ZyVzDocherneeOkno(nullptr, 1), nullptr);
    Okno a(WS_CHILD, 0, 0, 10, 10, roditel.h(), 3);
    Okno b(WS_CHILD, 0, 0, 10, 10, roditel.h(), 7);
    Okno c(WS_CHILD, 0, 0, 10, 10, roditel.h(), 7);
    Okno vnuk(WS_CHILD, 0, 0, 5, 5, a.h(), 9);
    EXPECT_EQ(ZyVzDocherneeOkno(roditel.h(), 3), a.h());
    HWND pervyj7 = nullptr;
    for (HWND h = GetWindow(roditel.h(), GW_CHILD); h && !pervyj7; h = GetWindow(h, GW_HWNDNEXT))
        if (GetDlgCtrlID(h) == 7) pervyj7 = h;
    EXPECT_EQ(ZyVzDocherneeOkno(roditel.h(), 7), pervyj7) << "the first in the child list";
    EXPECT_EQ(ZyVzDocherneeOkno(roditel.h(), 9), nullptr) << "grandchildren are not searched";
    EXPECT_EQ(ZyVzDocherneeOkno(a.h(), 9), vnuk.h());
    EXPECT_EQ(ZyVzDocherneeOkno(roditel.h(), 4), nullptr);
}

} // namespace
