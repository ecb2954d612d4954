// Test helper: message boxes ("#32770") read back from the real dialog and answered, by a
// watcher thread while a test provokes them, or at once for the boxes another process shows;
// and the system's texts that report boxes carry.
#ifndef ZYTESTSOOBSHENIJA_H
#define ZYTESTSOOBSHENIJA_H

#include <windows.h>

#include <condition_variable>
#include <cstddef>
#include <initializer_list>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zytest {

// What a box showed, and how it was answered.
struct ZyOkno {
    std::string zagolovok;
    std::string tekst;
    HWND vladelec = nullptr; // the box's owner window
    DWORD potok = 0;         // the thread that shows the box
    int knopka = 0;          // the button pressed
};

// The message boxes process `pid` shows now (visible ones only: a box already answered is
// hidden until it is destroyed).
std::vector<HWND> VidimyeSoobshenija(DWORD pid);

// Caption, text, owner and thread of a box, each read bounded in time.
ZyOkno ProchestSoobshenie(HWND box);

// Reads every box process `pid` shows now and presses `knopka` on each; what they showed.
std::vector<ZyOkno> OtvetitNaSoobshenija(DWORD pid, int knopka = IDOK);

// "caption: text" of each box, one a line (for failure messages).
std::string Opisanie(const std::vector<ZyOkno>& okna);

// The system's text for an error number, as the libraries' report boxes show it.
std::string SistemnyjTekst(DWORD oshibka);

// Watches the message boxes of this process on a thread of its own, from construction to
// Ostanovit() or destruction: reads each box, presses a button and waits (bounded) until the
// box is hidden, so that a test never hangs on a box. Set ZY_TEST_KOROBKI to see every box
// on stderr.
class ZyStorozhOkon {
public:
    // Presses `knopka` on every box.
    explicit ZyStorozhOkon(int knopka = IDOK);
    // Presses the scripted buttons (IDOK, IDRETRY, IDCANCEL, ...) on the boxes in turn, and
    // IDCANCEL on every box beyond the script.
    ZyStorozhOkon(std::initializer_list<int> knopki);
    ~ZyStorozhOkon();
    ZyStorozhOkon(const ZyStorozhOkon&) = delete;
    ZyStorozhOkon& operator=(const ZyStorozhOkon&) = delete;

    // The boxes answered so far, in order.
    std::vector<ZyOkno> Okna() const;
    // Waits until at least `n` boxes were answered (at most `ms`); whether they were.
    bool Zhdat(std::size_t n, DWORD ms = 20000) const;
    // Forgets the boxes answered so far.
    void Zabyt();
    // "caption: text" of every box answered so far, one a line.
    std::string Tekst() const;
    // Stops the watcher and returns every box it answered.
    const std::vector<ZyOkno>& Ostanovit();

private:
    // The button for the next box.
    int Knopka();
    // Answers one box; false when the stop came while it went.
    bool Otvetit(HWND box);
    // The thread: looks for boxes until the stop.
    void Rabota();

    std::vector<int> knopki_;
    int potom_;
    std::size_t sledujushchaja_ = 0;
    HANDLE stop_;
    mutable std::mutex zamok_;
    mutable std::condition_variable novoe_;
    std::vector<ZyOkno> okna_;
    std::thread potok_;
};

} // namespace zytest

#endif // ZYTESTSOOBSHENIJA_H
