// Test helper: one run of the real viewer, orvanta.exe, in the current directory, closed the
// way a user closes it (WM_CLOSE to its windows), every message box it shows answered.
#ifndef ZYTESTPROSMOTR_H
#define ZYTESTPROSMOTR_H

#include <windows.h>

#include <string>

namespace zytest {

class Prosmotr {
public:
    Prosmotr();
    ~Prosmotr() { Zakryt(); }
    Prosmotr(const Prosmotr&) = delete;
    Prosmotr& operator=(const Prosmotr&) = delete;

    bool zapushcheno() const { return zapushcheno_; }
    DWORD pid() const { return pi_.dwProcessId; }
    // The exit code of the last Zakryt (STILL_ACTIVE before).
    DWORD kodVyhoda() const { return kod_; }

    // The message boxes the viewer shows now, each pressed away with OK ("caption: text" lines).
    std::string ZakrytSoobshchenija();

    // Closes the host window and waits for the process (at most `ms`); false when it had to be
    // ended.
    bool Zakryt(DWORD ms = 30000);

private:
    PROCESS_INFORMATION pi_{};
    bool zapushcheno_ = false;
    DWORD kod_ = STILL_ACTIVE;
};

} // namespace zytest

#endif // ZYTESTPROSMOTR_H
