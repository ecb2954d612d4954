// Keyboard navigation on a live view window: key sequences posted to the view window, each
// row checked against the controller's flag bits, speeds and typed number after it; motion
// end to end; the keys that save, reload and reset the position.
#include "ZyTestVid.h"

#include <cmath>
#include <mutex>
#include <utility>

using namespace Quorvel;
using zytest::Snimok;

namespace {

constexpr int NET = -1; // no speed checked

// Lock-key states a row sets before its message.
enum Zamki : int { OSTAVIT, VSE_VYKL, NUM, SCROLL };

// One message of a sequence and what must hold after it.
struct Shag {
    const char* chto;           // for the failure message
    UINT soob;                  // WM_KEYDOWN, WM_KEYUP or WM_CHAR
    WPARAM kod;                 // virtual key or character
    bool ext, povtor;           // lParam bits 24 and 30
    Zamki zamki;                // lock keys before the message
    std::vector<int> vkl, vykl; // bits that must be set / clear afterwards
    int os;                     // speed checked, or NET
    double skorost;             // its value
    const char* tekst;          // valueText afterwards, or null
};

// The differences between a row's expectations and the state, one a line.
std::string Proverit(const Shag& s, const Snimok& st) {
    std::string r;
    for (int b : s.vkl)
        if (!st.bit[b]) r += "  bit " + std::to_string(b) + " should be set\n";
    for (int b : s.vykl)
        if (st.bit[b]) r += "  bit " + std::to_string(b) + " should be clear\n";
    if (s.os != NET && st.skorost[s.os] != s.skorost)
        r += "  speed[" + std::to_string(s.os) + "] = " + std::to_string(st.skorost[s.os]) +
             ", expected " + std::to_string(s.skorost) + "\n";
    if (s.tekst && st.tekst != s.tekst)
        r += "  valueText \"" + st.tekst + "\", expected \"" + s.tekst + "\"\n";
    return r;
}

// Frequencies and lengths of the tones sounded while a test watches.
std::mutex zamokTonov;
std::vector<std::pair<unsigned long, unsigned long>> tony;
void Ton(unsigned long chastota, unsigned long dlitelnost) {
    std::lock_guard<std::mutex> l(zamokTonov);
    tony.emplace_back(chastota, dlitelnost);
}
// How many tones of this frequency and length were sounded.
int SkolkoTonov(unsigned long chastota, unsigned long dlitelnost) {
    std::lock_guard<std::mutex> l(zamokTonov);
    int n = 0;
    for (const auto& t : tony)
        n += t.first == chastota && t.second == dlitelnost;
    return n;
}

class Klaviatura : public zytest::Vid {
protected:
    // Plays the rows in order; after each, the state must match it (read through a key when
    // the controller is paused).
    void Igrat(const std::vector<Shag>& shagi) {
        for (std::size_t i = 0; i < shagi.size(); ++i) {
            const Shag& s = shagi[i];
            if (s.zamki != OSTAVIT) Zamki(s.zamki == NUM, s.zamki == SCROLL);
            if (s.soob == WM_CHAR)
                Poslat(WM_CHAR, s.kod, 1);
            else
                Klavisha(s.soob, s.kod, s.ext, s.povtor);
            const Snimok st = Sostojanie(true);
            const std::string r = Proverit(s, st);
            EXPECT_TRUE(r.empty()) << "row " << i << " (" << s.chto << "):\n" << r;
        }
    }
};

const UINT KD = WM_KEYDOWN, KU = WM_KEYUP, CH = WM_CHAR;

} // namespace

TEST_F(Klaviatura, KeySequences) {
    struct Posledovatelnost {
        const char* imja;
        std::vector<Shag> shagi;
    };
    const std::vector<Posledovatelnost> tablica = {
        {"grey Right held and released",
         {{"Right down", KD, VK_RIGHT, true, false, OSTAVIT, {1, 7, 15}, {2, 0}, 0, 1.0, ""},
          {"Right up", KU, VK_RIGHT, true, false, OSTAVIT, {}, {1, 7, 15}, 0, 1.0, ""}}},
        {"typed numbers set the speed of the next motion key",
         {{"2", CH, '2', false, false, OSTAVIT, {}, {}, 1, 1.0, "2"},
          {"Up down", KD, VK_UP, true, false, OSTAVIT, {2, 8, 15}, {0, 20}, 1, 2.0, ""},
          {"Up up", KU, VK_UP, true, false, OSTAVIT, {}, {2, 8, 15}, 1, 2.0, ""},
          {"*", CH, '*', false, false, OSTAVIT, {}, {}, NET, 0, "*"},
          {"3", CH, '3', false, false, OSTAVIT, {}, {}, NET, 0, "*3"},
          {"Down down", KD, VK_DOWN, true, false, OSTAVIT, {2, 8, 15}, {}, 1, -6.0, ""},
          {"Down up", KU, VK_DOWN, true, false, OSTAVIT, {}, {2, 8, 15}, 1, -6.0, ""}}},
        {"a number typed while its motion runs latches it",
         {{"Right down", KD, VK_RIGHT, true, false, OSTAVIT, {1, 7}, {0}, 0, 1.0, ""},
          {"5", CH, '5', false, false, OSTAVIT, {}, {}, NET, 0, "5"},
          {"Right again", KD, VK_RIGHT, true, false, OSTAVIT, {0, 1, 7}, {}, 0, 5.0, ""},
          {"Right up", KU, VK_RIGHT, true, false, OSTAVIT, {1, 15}, {0, 7}, 0, 5.0, ""},
          {"Right down", KD, VK_RIGHT, true, false, OSTAVIT, {1, 7}, {0}, NET, 0, nullptr},
          {"Right up stops", KU, VK_RIGHT, true, false, OSTAVIT, {}, {1, 7, 15}, NET, 0, nullptr}}},
        {"Insert latches the next motion key to be released",
         {{"Insert", KD, VK_INSERT, true, false, OSTAVIT, {0}, {}, NET, 0, nullptr},
          {"Left down", KD, VK_LEFT, true, false, OSTAVIT, {0, 1, 7, 15}, {}, 0, -1.0, ""},
          {"Left up", KU, VK_LEFT, true, false, OSTAVIT, {1, 15}, {0, 7}, 0, -1.0, nullptr},
          {"Left down", KD, VK_LEFT, true, false, OSTAVIT, {1, 7}, {0}, NET, 0, nullptr},
          {"Left up stops", KU, VK_LEFT, true, false, OSTAVIT, {}, {1, 7, 15}, NET, 0, nullptr}}},
        {"auto-repeat is ignored except by Insert",
         {{"Up down", KD, VK_UP, true, false, OSTAVIT, {2, 8}, {}, 1, 1.0, nullptr},
          {"Up up", KU, VK_UP, true, false, OSTAVIT, {}, {2, 8}, NET, 0, nullptr},
          {"4", CH, '4', false, false, OSTAVIT, {}, {}, NET, 0, "4"},
          {"Up repeat", KD, VK_UP, true, true, OSTAVIT, {}, {2, 8, 15}, 1, 1.0, "4"},
          {"Space repeat", KD, VK_SPACE, false, true, OSTAVIT, {}, {13}, NET, 0, "4"},
          {"Insert repeat", KD, VK_INSERT, true, true, OSTAVIT, {0}, {}, NET, 0, "4"},
          {"Delete", KD, VK_DELETE, true, false, OSTAVIT, {}, {0}, NET, 0, ""}}},
        {"keypad keys turn; orbit mode reverses keypad Left/Right and Up/Down",
         {{"keypad Left", KD, VK_LEFT, false, false, VSE_VYKL, {6, 12, 15}, {1}, 5, -30.0, ""},
          {"keypad Left up", KU, VK_LEFT, false, false, OSTAVIT, {}, {6, 12, 15}, NET, 0, nullptr},
          {"keypad Up", KD, VK_UP, false, false, OSTAVIT, {4, 10}, {2}, 3, 30.0, nullptr},
          {"keypad Up up", KU, VK_UP, false, false, OSTAVIT, {}, {4, 10, 15}, NET, 0, nullptr},
          {"keypad Page Down", KD, VK_NEXT, false, false, OSTAVIT, {5, 11}, {}, 4, -30.0, nullptr},
          {"keypad Page Down up", KU, VK_NEXT, false, false, OSTAVIT, {}, {5, 11}, NET, 0, nullptr},
          {"grey Page Up", KD, VK_PRIOR, true, false, OSTAVIT, {3, 9}, {}, 2, 1.0, nullptr},
          {"grey Page Up up", KU, VK_PRIOR, true, false, OSTAVIT, {}, {3, 9, 15}, NET, 0, nullptr},
          {"Scroll Lock on",
           KD,
           VK_SCROLL,
           false,
           false,
           SCROLL,
           {17, 18, 19, 69},
           {},
           NET,
           0,
           nullptr},
          {"keypad Left", KD, VK_LEFT, false, false, OSTAVIT, {6, 12}, {}, 5, 30.0, nullptr},
          {"keypad Left up", KU, VK_LEFT, false, false, OSTAVIT, {}, {6, 12}, NET, 0, nullptr},
          {"keypad Up", KD, VK_UP, false, false, OSTAVIT, {4, 10}, {}, 3, -30.0, nullptr},
          {"keypad Up up", KU, VK_UP, false, false, OSTAVIT, {}, {4, 10}, NET, 0, nullptr},
          {"grey Up in orbit: distance only",
           KD,
           VK_UP,
           true,
           false,
           OSTAVIT,
           {2, 8, 20},
           {},
           1,
           -1.0,
           nullptr},
          {"grey Up up", KU, VK_UP, true, false, OSTAVIT, {20}, {2, 8}, NET, 0, nullptr},
          {"Delete hides the focus plane",
           KD,
           VK_DELETE,
           true,
           false,
           OSTAVIT,
           {17, 19},
           {18},
           NET,
           0,
           nullptr},
          {"Scroll Lock off",
           KD,
           VK_SCROLL,
           false,
           false,
           VSE_VYKL,
           {},
           {17, 18, 69},
           NET,
           0,
           nullptr},
          {"keypad Left", KD, VK_LEFT, false, false, OSTAVIT, {6}, {}, 5, -30.0, nullptr},
          {"keypad Left up", KU, VK_LEFT, false, false, OSTAVIT, {}, {6}, NET, 0, nullptr}}},
        {"15 digits keep 14; * and / replace the text",
         {{"1", CH, '1', false, false, OSTAVIT, {}, {}, NET, 0, "1"},
          {"2", CH, '2', false, false, OSTAVIT, {}, {}, NET, 0, "12"},
          {"3", CH, '3', false, false, OSTAVIT, {}, {}, NET, 0, "123"},
          {"4", CH, '4', false, false, OSTAVIT, {}, {}, NET, 0, "1234"},
          {".", CH, '.', false, false, OSTAVIT, {}, {}, NET, 0, "1234."},
          {"5", CH, '5', false, false, OSTAVIT, {}, {}, NET, 0, "1234.5"},
          {"e", CH, 'e', false, false, OSTAVIT, {}, {}, NET, 0, "1234.5e"},
          {"+", CH, '+', false, false, OSTAVIT, {}, {}, NET, 0, "1234.5e+"},
          {"x is no part of a number", CH, 'x', false, false, OSTAVIT, {}, {}, NET, 0, "1234.5e+"},
          {"6", CH, '6', false, false, OSTAVIT, {}, {}, NET, 0, "1234.5e+6"},
          {"7", CH, '7', false, false, OSTAVIT, {}, {}, NET, 0, "1234.5e+67"},
          {"8", CH, '8', false, false, OSTAVIT, {}, {}, NET, 0, "1234.5e+678"},
          {"9", CH, '9', false, false, OSTAVIT, {}, {}, NET, 0, "1234.5e+6789"},
          {"0", CH, '0', false, false, OSTAVIT, {}, {}, NET, 0, "1234.5e+67890"},
          {"1", CH, '1', false, false, OSTAVIT, {}, {}, NET, 0, "1234.5e+678901"},
          {"15th dropped", CH, '2', false, false, OSTAVIT, {}, {}, NET, 0, "1234.5e+678901"},
          {"/", CH, '/', false, false, OSTAVIT, {}, {}, NET, 0, "/"},
          {"*", CH, '*', false, false, OSTAVIT, {}, {}, NET, 0, "*"}}},
        {"Space and Backspace change the speed step by a typed number",
         {{"2", CH, '2', false, false, OSTAVIT, {}, {}, NET, 0, "2"},
          {"0", CH, '0', false, false, OSTAVIT, {}, {}, NET, 0, "20"},
          {"Space", KD, VK_SPACE, false, false, OSTAVIT, {13}, {14}, NET, 0, ""},
          {"Backspace", KD, VK_BACK, false, false, OSTAVIT, {14}, {13}, NET, 0, ""},
          {"Backspace up", KU, VK_BACK, false, false, OSTAVIT, {}, {13, 14}, NET, 0, ""},
          {"Space", KD, VK_SPACE, false, false, OSTAVIT, {13}, {}, NET, 0, ""},
          {"Space up", KU, VK_SPACE, false, false, OSTAVIT, {}, {13}, NET, 0, ""}}},
        {"Pause toggles bit 67 and blocks every other key",
         {{"Pause", KD, VK_PAUSE, false, false, OSTAVIT, {67}, {}, NET, 0, nullptr},
          {"Right while paused",
           KD,
           VK_RIGHT,
           true,
           false,
           OSTAVIT,
           {67},
           {1, 7, 15},
           NET,
           0,
           nullptr},
          {"Insert while paused", KD, VK_INSERT, true, false, OSTAVIT, {}, {0}, NET, 0, nullptr},
          {"Pause repeat", KD, VK_PAUSE, false, true, OSTAVIT, {67}, {}, NET, 0, nullptr},
          {"Pause again", KD, VK_PAUSE, false, false, OSTAVIT, {}, {67}, NET, 0, nullptr},
          {"Right", KD, VK_RIGHT, true, false, OSTAVIT, {1, 7, 15}, {}, NET, 0, nullptr},
          {"Right up", KU, VK_RIGHT, true, false, OSTAVIT, {}, {1, 7, 15}, NET, 0, nullptr}}},
        {"bit 25 makes WMKeyDown ignore every key",
         {{"Insert", KD, VK_INSERT, true, false, OSTAVIT, {0}, {}, NET, 0, nullptr},
          {"Delete", KD, VK_DELETE, true, false, OSTAVIT, {}, {0}, NET, 0, nullptr}}},
    };
    for (const auto& p : tablica) {
        SCOPED_TRACE(p.imja);
        SetUp();
        if (std::string(p.imja).rfind("bit 25", 0) == 0) {
            // The last sequence checks that the same keys work, then that bit 25 stops them.
            Igrat(p.shagi);
            ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL* k, void*) { k->Flagi.Vkl(25, 25); }));
            Klavisha(WM_KEYDOWN, VK_INSERT, true);
            EXPECT_FALSE(Sostojanie().bit[0]) << "Insert ignored while bit 25 is set";
            continue;
        }
        Igrat(p.shagi);
    }
}

TEST_F(Klaviatura, ScrollLockMovesTheEyeByTheOrbitDistanceAndBack) {
    ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL* k, void*) { k->Distancija = 2.5; }));
    Zamki(false, true);
    Klavisha(WM_KEYDOWN, VK_SCROLL, false);
    Snimok s = Sostojanie();
    EXPECT_TRUE(s.bit[17]);
    EXPECT_DOUBLE_EQ(-2.5, s.poz[0].z) << "the eye moves ahead by the orbit distance";
    EXPECT_DOUBLE_EQ(-1002.5, s.poz[1].z);
    EXPECT_NEAR(0.0, s.vid[0].z, 1e-9) << "the view stays where it was";

    // Ctrl+Up in orbit mode first only shows the focus plane, then moves the frame.
    ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL* k, void*) { k->Flagi.Vwkl(18, 18); }));
    {
        const auto ctrl = Uderzhat(VK_CONTROL);
        ASSERT_TRUE(ctrl->ok()) << "Ctrl could not be held";
        Klavisha(WM_KEYDOWN, VK_UP, true);
        s = Sostojanie();
        EXPECT_TRUE(s.bit[18] && s.bit[19]);
        EXPECT_FALSE(s.bit[2] || s.bit[8] || s.bit[20]) << "no motion the first time";
        Klavisha(WM_KEYDOWN, VK_UP, true);
        s = Sostojanie();
        EXPECT_TRUE(s.bit[2] && s.bit[8]);
        EXPECT_FALSE(s.bit[20]) << "with Ctrl the frame moves";
        EXPECT_EQ(1.0, s.skorost[1]);
        Klavisha(WM_KEYUP, VK_UP, true);
    }
    // Home in orbit mode: distance 1, the view kept.
    ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL* k, void*) {
        k->Flagi.Vwkl(2, 2);
        k->Flagi.Vwkl(15, 15);
        k->VsPozNavV0();
        k->PozNav[0].z = -2.5;
        k->PozNav[1].z = -1002.5;
        k->PozNav[2].z = -2.5;
        k->PozNav[3].z = -2.5;
        k->Distancija = 2.5;
        k->PozicijaNabludenija(nullptr); // PozNavVid from the orbit
    }));
    Klavisha(WM_KEYDOWN, VK_HOME, true);
    s = Sostojanie();
    EXPECT_EQ(1.0, s.distancija);
    EXPECT_NEAR(-1.0, s.poz[0].z, 1e-9) << "one unit ahead of the viewed eye";

    Zamki(false, false);
    Klavisha(WM_KEYDOWN, VK_SCROLL, false);
    s = Sostojanie();
    EXPECT_FALSE(s.bit[17] || s.bit[18]);
    EXPECT_NEAR(s.vid[0].z, s.poz[0].z, 1e-9) << "the eye takes the viewed position";
}

TEST_F(Klaviatura, CtrlSSavesWithItsToneHomeReloadsCtrlHomeResets) {
    ZyVsNabljudatelZvuka(Ton);
    tony.clear();
    Klavisha(WM_KEYDOWN, 'S', false);
    ASSERT_TRUE(Vypolnit(nullptr));
    EXPECT_EQ(0, SkolkoTonov(440, 30)) << "S alone does nothing";

    ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL* k, void*) {
        for (auto& p : k->PozNav)
            p.x += 7.0;
    }));
    {
        const auto ctrl = Uderzhat(VK_CONTROL);
        ASSERT_TRUE(ctrl->ok()) << "Ctrl could not be held";
        Klavisha(WM_KEYDOWN, 'S', false);
        ASSERT_TRUE(Vypolnit(nullptr));
        EXPECT_EQ(1, SkolkoTonov(440, 30)) << "Ctrl+S sounds 440 Hz for 30 ms";
        Klavisha(WM_KEYDOWN, 'S', false, true);
        ASSERT_TRUE(Vypolnit(nullptr));
        EXPECT_EQ(1, SkolkoTonov(440, 30)) << "not on auto-repeat";
        // Without a current history entry nothing is stored, and the tone stays silent.
        static ZYKNB64 tekPoz;
        ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL* k, void*) {
            tekPoz = k->ZagIstorii.TekPoz;
            k->ZagIstorii.TekPoz = ZYKNB64{0, 0};
        }));
        Klavisha(WM_KEYDOWN, 'S', false);
        ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL* k, void*) { k->ZagIstorii.TekPoz = tekPoz; }));
        EXPECT_EQ(1, SkolkoTonov(440, 30)) << "a failed store sounds no tone";
    }
    ZyVsNabljudatelZvuka(nullptr);

    ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL* k, void*) { k->VsPozNavV0(); }));
    Klavisha(WM_KEYDOWN, VK_HOME, false);
    EXPECT_EQ(0.0, Sostojanie().poz[0].x) << "keypad Home only repaints";
    Klavisha(WM_KEYDOWN, VK_HOME, true);
    Snimok s = Sostojanie();
    EXPECT_EQ(7.0, s.poz[0].x) << "Home reloads the saved position";
    EXPECT_EQ(-1000.0, s.poz[1].z);
    {
        const auto ctrl = Uderzhat(VK_CONTROL);
        ASSERT_TRUE(ctrl->ok());
        Klavisha(WM_KEYDOWN, VK_HOME, true);
        s = Sostojanie();
    }
    EXPECT_EQ(0.0, s.poz[0].x) << "Ctrl+Home: the initial frame";
    EXPECT_EQ(1000.0, s.poz[3].x);
}

TEST_F(Klaviatura, HoldingGreyUpMovesTheEyeBySpeedTimesTime) {
    // The key-down and key-up are timed where they are handled, on the controller thread.
    static LARGE_INTEGER vniz, vverh;
    ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL* k, void*) {
        ZYS_SOOB_iFYN_P z[] = {{WM_KEYDOWN,
                                +[](MSG* m) {
                                    if (m->wParam == VK_UP) QueryPerformanceCounter(&vniz);
                                    return 0;
                                },
                                1},
                               {WM_KEYUP,
                                +[](MSG* m) {
                                    if (m->wParam == VK_UP) QueryPerformanceCounter(&vverh);
                                    return 0;
                                },
                                1}};
        k->vklNav(z, 2);
        k->SkorostNav[1] = 2.0;
    }));
    Klavisha(WM_KEYDOWN, VK_UP, true);
    zytest::KachatVremja(1000);
    Klavisha(WM_KEYUP, VK_UP, true);
    const Snimok posle = Sostojanie();
    zytest::KachatVremja(300);
    const Snimok pozzhe = Sostojanie();
    ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL* k, void*) {
        k->vwklNav(WM_KEYDOWN, 1);
        k->vwklNav(WM_KEYUP, 1);
    }));

    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    const double vremja = double(vverh.QuadPart - vniz.QuadPart) / double(f.QuadPart);
    const double shag = 2.0 / 25.0; // one frame's step at 2 units/s and 25 frames/s
    // Along -z (the view axis); the other coordinates stay.
    EXPECT_NEAR(2.0 * vremja, -posle.poz[0].z, 2.0 * shag)
        << "held for " << vremja << " s; the eye moved " << -posle.poz[0].z;
    EXPECT_EQ(0.0, posle.poz[0].x);
    EXPECT_EQ(0.0, posle.poz[0].y);
    EXPECT_FALSE(posle.bit[2] || posle.bit[15]);
    EXPECT_EQ(posle.poz[0].z, pozzhe.poz[0].z) << "after the release the eye stays";
}
