// Test helper: real top-level windows of the tests' own classes, and lookups of the top-level
// windows of a process.
#ifndef ZYTESTOKNO_H
#define ZYTESTOKNO_H

#include <windows.h>

#include <string>
#include <vector>

namespace zytest {

// A top-level window of a class with its own device context (one class per window procedure),
// destroyed with the object.
class Okno {
public:
    explicit Okno(int x = 0, int y = 0, int w = 96, int h = 64, DWORD stil = WS_OVERLAPPEDWINDOW,
                  WNDPROC proc = DefWindowProcA, const char* zagolovok = "Zy test window");
    ~Okno();
    Okno(const Okno&) = delete;
    Okno& operator=(const Okno&) = delete;

    HWND hwnd() const { return hwnd_; }
    // Shows the window on top without activating it.
    void PokazatBezAktivacii() const;

private:
    HWND hwnd_ = nullptr;
};

// The top-level windows of process `pid` whose class is `klass`, visible or not.
std::vector<HWND> OknaProcessa(DWORD pid, const char* klass);

// The window's class name.
std::string KlassOkna(HWND okno);

} // namespace zytest

#endif // ZYTESTOKNO_H
