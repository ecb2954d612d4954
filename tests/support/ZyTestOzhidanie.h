// Test helper: bounded waits that keep the calling thread's windows served, and an event that
// closes itself.
#ifndef ZYTESTOZHIDANIE_H
#define ZYTESTOZHIDANIE_H

#include <windows.h>

#include <functional>
#include <string>

namespace zytest {

// Delivers every message queued for the calling thread.
void Prokachat();

// Waits up to `ms` for `h` while delivering the calling thread's messages; true when signalled.
bool Zhdat(HANDLE h, DWORD ms);

// Delivers the calling thread's messages until `uslovie` holds or `ms` have passed; returns
// whether it holds. Looks again on every message, whenever `budilnik` (if any) is signalled,
// and at least every 10 ms.
bool ZhdatPoka(const std::function<bool()>& uslovie, DWORD ms = 10000, HANDLE budilnik = nullptr);

// Delivers the calling thread's messages for `ms` (to see that nothing more happens).
void KachatVremja(DWORD ms);

// Runs this program again with the command line `komanda` (its first word is the program) and
// waits up to `ms` for it: its exit code; ZY_NE_ZAPUSTILSJA when it could not start,
// ZY_NE_ZAKONCHILSJA when it was still running (it is then ended).
constexpr DWORD ZY_NE_ZAPUSTILSJA = 0xE0000001, ZY_NE_ZAKONCHILSJA = 0xE0000002;
DWORD VypolnitSebja(std::string komanda, DWORD ms);

// Starts this program again with the command line `komanda` (its first word is the program):
// the new process's handle, or nullptr (last error set) when the system refused to start it
// five times in a row, a second apart at most. Wine refuses a start now and then while many
// processes end around it; a second try succeeds.
HANDLE ZapustitSebja(std::string komanda);

// An auto-reset event that closes itself.
class Sobytie {
public:
    Sobytie() : h_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}
    ~Sobytie() { CloseHandle(h_); }
    Sobytie(const Sobytie&) = delete;
    Sobytie& operator=(const Sobytie&) = delete;
    HANDLE h() const { return h_; }
    void Vkl() const { SetEvent(h_); }

private:
    HANDLE h_;
};

} // namespace zytest

#endif // ZYTESTOZHIDANIE_H
