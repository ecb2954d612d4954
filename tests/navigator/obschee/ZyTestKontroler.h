// Helper of the engine tests that call its handlers directly: a controller on the test thread
// with a real window of its own.
#ifndef ZYTESTKONTROLER_H
#define ZYTESTKONTROLER_H

#include "ZyKGLOrvanta2.h"
#include "ZyTestOkno.h"

#include <gtest/gtest.h>

#include <memory>

namespace zytest {

class KontrolerNaOkne : public testing::Test {
protected:
    // A fresh controller whose window is `okno` and whose thread is the test thread.
    void SetUp() override {
        ASSERT_NE(nullptr, okno.hwnd());
        k = std::make_unique<Quorvel::ZYKGLKONTROL>();
        k->hwnd = okno.hwnd();
        k->threadId = GetCurrentThreadId();
    }
    // Flag `b` of the controller is on.
    bool Bit(unsigned long b) const { return k->Flagi.Test(b, b); }
    // The message a handler receives: the window slot holds the controller.
    MSG Soob(UINT nomer) const {
        MSG m = {};
        m.hwnd = reinterpret_cast<HWND>(k.get());
        m.message = nomer;
        return m;
    }

    // NOTE: hidden: Wine takes about 2 s to destroy a visible window that has a pixel format.
    Okno okno{0, 0, 64, 48, WS_OVERLAPPEDWINDOW};
    std::unique_ptr<Quorvel::ZYKGLKONTROL> k;
};

} // namespace zytest

#endif // ZYTESTKONTROLER_H
