// The progress window of a long copy: it appears with its texts, its bar moves, and it is gone
// when the copy ends. The copy runs on a worker thread and is held half-way (the write of one of
// its blocks waits on an event), so the window is read while the copy is known to be running.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <string>

#include "ZyTestOzhidanie.h"
#include "fajl_pomoshch.h"

using namespace zytest;

namespace {

constexpr DWORD kDolgo = 30000;
constexpr uint64_t kGran = 65536;
constexpr const char* kKlass = "ZyKFajl64_Progres";

Quorvel::ZYS_SIST_VYZOVY gIshodnaja;
std::atomic<int> gZapisej{0};
int gPauzaNa = 0;
HANDLE gNaPauze = nullptr, gDalshe = nullptr;

// WriteFile that holds the copy at its n-th call until the test lets it go on.
BOOL WINAPI zaderzhkaZapisi(HANDLE h, LPCVOID p, DWORD n, LPDWORD sdelano, LPOVERLAPPED o) {
    if (++gZapisej == gPauzaNa) {
        SetEvent(gNaPauze);
        WaitForSingleObject(gDalshe, kDolgo);
    }
    return gIshodnaja.WriteFile(h, p, n, sdelano, o);
}

// A copy on a worker thread.
struct Kopija {
    ZYKFAJL64* f;
    const void* ozu;
    unsigned long dlina;
    int rez = 0;
    static DWORD WINAPI potok(void* p) {
        Kopija* k = static_cast<Kopija*>(p);
        k->rez = k->ozu ? k->f->Kop(nb(0), k->ozu, k->dlina)
                        : k->f->Kop(nb(1), nb(2 << 20), nb(k->dlina));
        return 0;
    }
};

// What the window showed.
struct Okno {
    std::string zagolovok, metka1, istochnik, metka2, priemnik;
    int poz = -1;
};

// Holds the copy at the given block write, reads the window, lets the copy finish, and checks that
// the window is gone.
Okno nabljudat(Kopija& k, int pauzaNa, int minimum) {
    Okno o;
    PodmenaVyzovov podmena;
    podmena.pamjat(3202 * 2 * kGran, 1ull << 33); // blocks of 1 MiB once divided by 100
    gIshodnaja = podmena.tablica();
    gZapisej = 0;
    gPauzaNa = pauzaNa;
    gNaPauze = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    gDalshe = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    podmena.tablica().WriteFile = zaderzhkaZapisi;
    HANDLE potok = CreateThread(nullptr, 0, Kopija::potok, &k, 0, nullptr);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(gNaPauze, kDolgo)) << "the copy reached the pause";
    HWND okno = nullptr;
    EXPECT_TRUE(ZhdatPoka([&] { return (okno = FindWindowA(kKlass, nullptr)) != nullptr; }, kDolgo))
        << "the progress window appears during the copy";
    if (okno) {
        char buf[512];
        GetWindowTextA(okno, buf, sizeof buf);
        o.zagolovok = buf;
        std::string* teksty[] = {&o.metka1, &o.istochnik, &o.metka2, &o.priemnik};
        for (int id = 1; id <= 4; ++id) {
            buf[0] = 0;
            GetDlgItemTextA(okno, id, buf, sizeof buf);
            *teksty[id - 1] = buf;
        }
        HWND polosa = GetDlgItem(okno, 6);
        EXPECT_NE(nullptr, polosa) << "the bar";
        if (polosa) {
            EXPECT_TRUE(ZhdatPoka(
                [&] {
                    o.poz = int(SendMessageA(polosa, PBM_GETPOS, 0, 0));
                    return o.poz >= minimum;
                },
                kDolgo))
                << "the bar reaches " << minimum << ", shows " << o.poz;
        }
    }
    SetEvent(gDalshe);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(potok, kDolgo));
    CloseHandle(potok);
    EXPECT_TRUE(ZhdatPoka([] { return FindWindowA(kKlass, nullptr) == nullptr; }, kDolgo))
        << "the window is gone after the copy";
    EXPECT_EQ(0u, k.f->PotokProgressa);
    CloseHandle(gNaPauze);
    CloseHandle(gDalshe);
    return o;
}

} // namespace

TEST(Progress, WindowShowsTheNamesAndTheBarDuringALongCopy) {
    const size_t n = 20 << 20;
    ZYKFAJL64 f;
    ASSERT_TRUE(ZapisatBajty("progress.bin", uzor(n + (2 << 20), 3)));
    ASSERT_EQ(1, otkrytZapis(f, "progress.bin"));
    f.Flagi |= Quorvel::ZYF64_PROGRESS;
    Kopija k{&f, nullptr, (unsigned long)n};
    // One write a block: the sixth waits after the fifth of twenty blocks has been posted,
    // 25 percent.
    const Okno o = nabljudat(k, 6, 25);
    EXPECT_EQ("\"ZYKFAJL64\" - Copying", o.zagolovok);
    EXPECT_EQ("Source:", o.metka1);
    EXPECT_EQ("Receiver:", o.metka2);
    EXPECT_EQ(std::string(f.Imja), o.istochnik);
    EXPECT_EQ(std::string(f.Imja), o.priemnik);
    EXPECT_GE(o.poz, 25);
    EXPECT_LT(o.poz, 100);
    EXPECT_EQ(1, k.rez);
    auto v = uzor(n + (2 << 20), 3);
    std::copy(v.begin() + (2 << 20), v.begin() + (2 << 20) + n, v.begin() + 1);
    EXPECT_EQ(v, ChitatBajty("progress.bin"));
}

TEST(Progress, MemoryIsNamedRam) {
    const size_t n = 8 << 20;
    ZYKFAJL64 f;
    ASSERT_TRUE(ZapisatBajty("progress_ozu.bin", {}));
    ASSERT_EQ(1, otkrytZapis(f, "progress_ozu.bin"));
    f.Flagi |= Quorvel::ZYF64_PROGRESS;
    const auto dannye = uzor(n, 4);
    Kopija k{&f, dannye.data(), (unsigned long)n};
    // The third write waits after the second block (blocks of a hundredth of the length:
    // 2 percent).
    const Okno o = nabljudat(k, 3, 2);
    EXPECT_EQ("RAM", o.istochnik);
    EXPECT_EQ(std::string(f.Imja), o.priemnik);
    EXPECT_EQ(-1, k.rez);
    EXPECT_EQ(dannye, ChitatBajty("progress_ozu.bin"));
}
