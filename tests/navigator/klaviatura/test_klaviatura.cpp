// Keyboard navigation on a live view window: key sequences posted to the view window, each
// row checked against the flag bits, speeds and typed number after it; Ctrl+S and its tone;
// motion end to end.
#include "ZyTestVid.h"

#include <mutex>

using namespace Quorvel;

namespace {

constexpr UINT KD = WM_KEYDOWN, KU = WM_KEYUP, CH = WM_CHAR;
enum : int { E = 1, R = 2, SCROLL = 4 }; // extended, auto-repeat, Scroll Lock on before it
constexpr int NET = -1;                  // no speed checked
constexpr int IZM = 6;                   // IzmSkorosti checked instead of a speed

// One message of a sequence and what must hold after it.
struct Shag {
    UINT soob;
    WPARAM kod;
    int priznaki;               // E, R, SCROLL
    std::vector<int> vkl, vykl; // bits set / clear afterwards
    int os;                     // speed checked, IZM or NET
    double skorost;
    const char* tekst; // valueText afterwards, or null
};

// What differs between a row and the state, one item a line.
std::string Raznica(const Shag& s, const zytest::Snimok& st) {
    std::string r;
    for (int b : s.vkl)
        if (!st.bit[b]) r += " bit " + std::to_string(b) + " clear\n";
    for (int b : s.vykl)
        if (st.bit[b]) r += " bit " + std::to_string(b) + " set\n";
    if (s.os == IZM && st.izm != s.skorost)
        r += " speed change " + std::to_string(st.izm) + "\n";
    else if (s.os != NET && s.os != IZM && st.skorost[s.os] != s.skorost)
        r += " speed " + std::to_string(st.skorost[s.os]) + "\n";
    if (s.tekst && st.tekst != s.tekst) r += " text \"" + st.tekst + "\"\n";
    return r;
}

std::mutex zamok;
int tonov440 = 0; // tones of 440 Hz for 30 ms since the test began
void Ton(unsigned long chastota, unsigned long dlitelnost) {
    std::lock_guard<std::mutex> l(zamok);
    tonov440 += chastota == 440 && dlitelnost == 30;
}

using Klaviatura = zytest::Vid;

} // namespace

TEST_F(Klaviatura, KeySequences) {
    std::vector<std::pair<const char*, std::vector<Shag>>> tablica = {
        {"grey Right held and released",
         {{KD, VK_RIGHT, E, {1, 7, 15}, {0, 2}, 0, 1.0, ""},
          {KU, VK_RIGHT, E, {}, {1, 7, 15}, 0, 1.0, ""}}},
        {"2, grey Up, *, 3, grey Down",
         {{CH, '2', 0, {}, {}, 1, 1.0, "2"},
          {KD, VK_UP, E, {2, 8, 15}, {0, 20}, 1, 2.0, ""},
          {KU, VK_UP, E, {}, {2, 8, 15}, 1, 2.0, ""},
          {CH, '*', 0, {}, {}, NET, 0, "*"},
          {CH, '3', 0, {}, {}, NET, 0, "*3"},
          {KD, VK_DOWN, E, {2, 8}, {}, 1, -6.0, ""}}},
        {"Insert latches the next motion key released",
         {{KD, VK_INSERT, E, {0}, {}, NET, 0, nullptr},
          {KD, VK_LEFT, E, {0, 1, 7}, {}, 0, -1.0, nullptr},
          {KU, VK_LEFT, E, {1, 15}, {0, 7}, NET, 0, nullptr},
          {KD, VK_LEFT, E, {1}, {}, NET, 0, nullptr},
          {KU, VK_LEFT, E, {}, {1, 15}, NET, 0, nullptr}}},
        {"auto-repeat ignored except by Insert",
         {{CH, '4', 0, {}, {}, NET, 0, "4"},
          {KD, VK_UP, E | R, {}, {2, 8, 15}, 1, 1.0, "4"},
          {KD, VK_SPACE, R, {}, {13}, NET, 0, "4"},
          {KD, VK_INSERT, E | R, {0}, {}, NET, 0, "4"}}},
        {"keypad Left outside and inside orbit mode",
         {{KD, VK_LEFT, 0, {6, 12, 15}, {1}, 5, -30.0, ""},
          {KU, VK_LEFT, 0, {}, {6, 12, 15}, NET, 0, nullptr},
          {KD, VK_SCROLL, SCROLL, {17, 18, 19, 69}, {}, NET, 0, nullptr},
          {KD, VK_LEFT, 0, {6, 12}, {}, 5, 30.0, nullptr}}},
        {"Pause toggles bit 67 and blocks the other keys",
         {{KD, VK_PAUSE, 0, {67}, {}, NET, 0, nullptr},
          {KD, VK_RIGHT, E, {67}, {1, 7, 15}, NET, 0, nullptr},
          {KD, VK_PAUSE, R, {67}, {}, NET, 0, nullptr},
          {KD, VK_PAUSE, 0, {}, {67}, NET, 0, nullptr},
          {KD, VK_RIGHT, E, {1, 7, 15}, {}, NET, 0, nullptr}}},
        {"a typed number that is not finite changes no speed",
         {{CH, '1', 0, {}, {}, NET, 0, "1"},
          {CH, 'e', 0, {}, {}, NET, 0, "1e"},
          {CH, '9', 0, {}, {}, NET, 0, "1e9"},
          {CH, '9', 0, {}, {}, NET, 0, "1e99"},
          {CH, '9', 0, {}, {}, NET, 0, "1e999"},
          {KD, VK_UP, E, {2, 8}, {}, 1, 1.0, ""},
          {KU, VK_UP, E, {}, {2, 8, 15}, 1, 1.0, ""},
          {CH, '1', 0, {}, {}, NET, 0, "1"},
          {CH, 'e', 0, {}, {}, NET, 0, "1e"},
          {CH, '9', 0, {}, {}, NET, 0, "1e9"},
          {CH, '9', 0, {}, {}, NET, 0, "1e99"},
          {CH, '9', 0, {}, {}, NET, 0, "1e999"},
          {KD, VK_SPACE, 0, {13}, {}, IZM, 10.0, ""},
          {KU, VK_SPACE, 0, {}, {13}, IZM, 10.0, ""}}},
        {"15 digits keep 14, then * replaces them", {}},
    };
    for (int i = 1; i <= 15; ++i)
        tablica.back().second.push_back({CH, WPARAM('0' + i % 10), 0, {}, {}, NET, 0, nullptr});
    tablica.back().second.push_back({CH, '*', 0, {}, {}, NET, 0, "*"});

    for (const auto& p : tablica) {
        SCOPED_TRACE(p.first);
        SetUp();
        std::string cifry;
        for (std::size_t i = 0; i < p.second.size(); ++i) {
            Shag s = p.second[i];
            if (s.priznaki & SCROLL) Zamki(false, true);
            if (s.soob == CH)
                Poslat(CH, s.kod, 1);
            else
                Klavisha(s.soob, s.kod, s.priznaki & E, s.priznaki & R);
            if (s.soob == CH && !s.tekst) { // a digit of the 15: the text keeps 14
                if (cifry.size() < 14) cifry += char(s.kod);
                s.tekst = cifry.c_str();
            }
            const std::string r = Raznica(s, Sostojanie(true));
            EXPECT_EQ("", r) << "row " << i;
        }
    }
}

TEST_F(Klaviatura, CtrlSSavesAndSoundsItsToneSAloneDoesNothing) {
    ZyVsNabljudatelZvuka(Ton);
    Klavisha(WM_KEYDOWN, 'S', false);
    ASSERT_TRUE(Vypolnit(nullptr));
    EXPECT_EQ(0, tonov440) << "S alone";
    ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL* k, void*) { k->PozNav[0].x = 7.0; }));
    ASSERT_TRUE(Modifikator(VK_CONTROL, true)) << "Ctrl could not be held";
    Klavisha(WM_KEYDOWN, 'S', false);
    // Without a current history entry nothing is stored, and no tone claims it was.
    static ZYKNB64 tekPoz;
    ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL* k, void*) {
        tekPoz = k->ZagIstorii.TekPoz;
        k->ZagIstorii.TekPoz = ZYKNB64{0, 0};
    }));
    Klavisha(WM_KEYDOWN, 'S', false);
    ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL* k, void*) { k->ZagIstorii.TekPoz = tekPoz; }));
    ASSERT_TRUE(Modifikator(VK_CONTROL, false));
    ZyVsNabljudatelZvuka(nullptr);
    EXPECT_EQ(1, tonov440) << "Ctrl+S: 440 Hz for 30 ms, once";

    // The stored position comes back with grey Home.
    ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL* k, void*) { k->VsPozNavV0(); }));
    Klavisha(WM_KEYDOWN, VK_HOME, true);
    EXPECT_EQ(7.0, Sostojanie().poz[0].x);
}

TEST_F(Klaviatura, HoldingGreyUpMovesTheEyeBySpeedTimesTime) {
    // Key-down and key-up are timed where they are handled, on the controller thread.
    static LARGE_INTEGER t[2];
    ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL* k, void*) {
        auto vremja = +[](MSG* m) {
            if (m->wParam == VK_UP) QueryPerformanceCounter(&t[m->message == WM_KEYUP]);
            return 0;
        };
        ZYS_SOOB_iFYN_P z[] = {{WM_KEYDOWN, vremja, 1}, {WM_KEYUP, vremja, 1}};
        k->vklNav(z, 2);
        k->SkorostNav[1] = 2.0;
    }));
    Klavisha(WM_KEYDOWN, VK_UP, true);
    zytest::KachatVremja(1000);
    Klavisha(WM_KEYUP, VK_UP, true);
    const zytest::Snimok posle = Sostojanie();
    zytest::KachatVremja(300);
    const double pozzhe = Sostojanie().poz[0].z;
    ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL* k, void*) {
        k->vwklNav(WM_KEYDOWN, 1);
        k->vwklNav(WM_KEYUP, 1);
    }));
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    const double sekund = double(t[1].QuadPart - t[0].QuadPart) / double(f.QuadPart);
    // Along the view axis (-z); tolerance: two frame steps of 2 units/s at 25 frames/s.
    EXPECT_NEAR(2.0 * sekund, -posle.poz[0].z, 2 * 2.0 / 25) << "held " << sekund << " s";
    EXPECT_EQ(0.0, posle.poz[0].x + posle.poz[0].y);
    EXPECT_EQ(posle.poz[0].z, pozzhe) << "after the release the eye stays";
}

// Last: the history moves load the scene again.
TEST_F(Klaviatura, ZzF2AndF3MoveThroughTheHistoryWithShiftAndCtrl) {
    static unsigned long nomer;
    auto Nomer = [] {
        EXPECT_TRUE(Vypolnit(+[](ZYKGLKONTROL* k, void*) { nomer = k->ZagIstorii.TekNom; }));
        return nomer;
    };
    ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL* k, void*) {
        for (int i = 0; i < 2; ++i) // two more entries of the same scene
            k->NScena(k->Fynkcii[0].imja, k->Fynkcii[1].imja, k->Fynkcii[2].imja,
                      k->Fynkcii[3].imja);
    }));
    const unsigned long posl = Nomer();
    ASSERT_GE(posl, 3u);
    struct Shag {
        WPARAM kod;
        BYTE modifikator; // held during the key, or 0
        bool povtor;
        unsigned long nomer; // the current entry afterwards, counted back from the last
    };
    const std::vector<Shag> tablica = {
        {VK_F2, 0, false, 1},
        {VK_F2, 0, true, 1}, // a repeat without Shift: nothing
        {VK_F2, VK_SHIFT, true, 2},
        {VK_F3, 0, false, 1},
        {VK_F2, VK_CONTROL, false, posl - 1}, // the first entry
        {VK_F3, VK_SHIFT, true, posl - 2},
        {VK_F3, VK_CONTROL, false, 0}, // the last
    };
    for (std::size_t i = 0; i < tablica.size(); ++i) {
        const Shag& s = tablica[i];
        ASSERT_TRUE(!s.modifikator || Modifikator(s.modifikator, true));
        Klavisha(WM_KEYDOWN, s.kod, false, s.povtor);
        EXPECT_EQ(posl - s.nomer, Nomer()) << "key " << i;
        ASSERT_TRUE(!s.modifikator || Modifikator(s.modifikator, false));
    }
}
