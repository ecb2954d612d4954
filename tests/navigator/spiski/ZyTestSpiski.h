// The fixture of the display-list, colour and text tests: a controller on the test thread with
// a window, its rendering context current, and a scene address that gives it a scene key.
#ifndef ZYTESTSPISKI_H
#define ZYTESTSPISKI_H

#include "ZyKGLOrvanta2.h"
#include "ZyTestKontroler.h"

#include <gtest/gtest.h>

#include <cstring>

namespace zyt {

class Spiski : public zytest::KontrolerNaOkne {
protected:
    void SetUp() override {
        KontrolerNaOkne::SetUp();
        ASSERT_EQ(1, k->VsDCFormat(nullptr));
        k->VzDCFormat(&k->FormatPikselej);
        Scena("C:\\scenes\\ModA.dll\\Konstr");
    }
    void TearDown() override {
        MSG m = Soob(WM_DESTROY);
        WMDestroy(&m);
        wglMakeCurrent(nullptr, nullptr);
    }
    // Makes `adres` the scene's constructor name, as the loader does when it loads one (the
    // engine's own constructor is loaded to have the scene key derived anew).
    void Scena(const char* adres) {
        ASSERT_EQ(1u, k->ZagryzitFynkciu("ZyKGLOrvanta2.dll\\ZyGLScenaNach1", 1));
        delete[] k->Fynkcii[0].imja;
        k->Fynkcii[0].imja = new char[std::strlen(adres) + 1];
        std::strcpy(k->Fynkcii[0].imja, adres);
    }
};

} // namespace zyt

#endif // ZYTESTSPISKI_H
