// The index of a translation file text finds exactly what the reader's walk finds, over fixed
// and random texts and keys (whitespace, "=", asterisks and their runs included).
#include "ZyScanStrok.h"
#include "ZyUkazatelPerevoda.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

using zyst::ZyNahodka;

// Compares the index with the walk for `kljuch` in `tekst`.
void sravnit(const std::string& tekst, const std::string& kljuch) {
    const zyst::ZyUkazatelPerevoda u(tekst.data(), tekst.size());
    const ZyNahodka a =
        zyst::ZyNajtiPerevod(tekst.data(), tekst.size(), kljuch.data(), kljuch.size());
    const ZyNahodka b = u.Najti(kljuch.data(), kljuch.size());
    ASSERT_EQ(a.rezultat, b.rezultat) << '[' << tekst << "] [" << kljuch << ']';
    ASSERT_EQ(a.perevod, b.perevod) << '[' << tekst << "] [" << kljuch << ']';
    ASSERT_EQ(a.dlina, b.dlina) << '[' << tekst << "] [" << kljuch << ']';
}

TEST(ZyUkazatelPerevoda, FindsWhatTheWalkFinds) {
    struct Sluchaj {
        std::string tekst, kljuch;
    };
    const Sluchaj sluchai[] = {
        {"RU: x\r\n***\r\n Yes\r\n=Ja***", "Yes"},
        {"\r\n Yes\r\n=***\r\n Yes\r\n=Ja***", "Yes"}, // first entry wins, untranslated
        {"\r\n Yes***", "Yes"},                        // the end right behind the key
        {"\r\n Yesno = a***\r\n Yes = b***", "Yes"},   // a longer key is no match
        {"\r\n Open \"\" now = A***\r\n Open = B***", "Open \"\" now"},
        {"\r\n Open = B***\r\n Open \"\" now = A***", "Open \"\" now"},
        {"\r\n Yes*x = a***\r\n Yes = b***", "Yes"}, // an asterisk after the key
        {"\r\n ab***cd = x***", "ab***c"},           // a key holding the end mark
        {"  Yes = a***", "Yes"},                     // blanks before the first entry
        {"\r\n Yes", "Yes"},                         // no end mark at all
        {"x", "xy"},                                 // key longer than the text
        {"\r\n = a***", "="},
        {"\r\n Yes   = x***", "Yes  "}, // blanks ending the key
        {"\r\n Yes no = x***", "Yes"},
    };
    for (const Sluchaj& s : sluchai) {
        sravnit(s.tekst, s.kljuch);
        sravnit("H***" + s.tekst, s.kljuch); // behind a header, as in a real file
    }
}

TEST(ZyUkazatelPerevoda, RandomTextsAndKeys) {
    std::mt19937 rng(7);
    const char alfavit[] = {'*', '*', '=', ' ', '\r', '\n', '\t', 'K', 'e', 'y', 'K', 'e'};
    for (int runde = 0; runde < 20000; ++runde) {
        std::string f(rng() % 80, ' ');
        for (char& c : f)
            c = alfavit[rng() % sizeof alfavit];
        std::string k(1 + rng() % 5, ' ');
        for (char& c : k)
            c = alfavit[rng() % sizeof alfavit];
        sravnit(f, k);
        if (!f.empty()) { // a key taken from the text itself
            const std::size_t p = rng() % f.size();
            sravnit(f, f.substr(p, 1 + rng() % 6));
        }
    }
}

} // namespace
