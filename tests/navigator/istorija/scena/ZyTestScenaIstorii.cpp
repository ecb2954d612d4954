// A scene module for the restart test: it reports the eye position of every frame in
// "pozicija.txt" (of its first frame in "pervaja.txt") and sets the event "ZyTestIstorijaKadr";
// when "dvigat.txt" exists in the current directory, its constructor first moves the point of
// observation by (77.5, 0, -3); "animirovat.txt" makes it animate continuously at 50 frames a
// second, "zashchelka.txt" latches a motion along the view axis at that rate.
#include "ZyKGLOrvanta2.h"

#include <GL/gl.h>

#include <cstdio>

using Quorvel::ZYKGLKONTROL;

extern "C" {

// Constructor: the rendering context, and the move when asked for.
__declspec(dllexport) long ZyTSIKonstr(ZYKGLKONTROL* k) {
    k->VsDCFormat(nullptr);
    if (GetFileAttributesA("dvigat.txt") != INVALID_FILE_ATTRIBUTES)
        k->SdvigTochek(Quorvel::VEKTOR3MDF{77.5, 0.0, -3.0}, k->PozNav, 4);
    if (GetFileAttributesA("animirovat.txt") != INVALID_FILE_ATTRIBUTES) {
        k->fps = 50;
        k->Flagi.Vkl(Quorvel::ZYBIT_ANIMACIJA, Quorvel::ZYBIT_ANIMACIJA);
    }
    if (GetFileAttributesA("zashchelka.txt") != INVALID_FILE_ATTRIBUTES) {
        k->fps = 50;
        k->Flagi.Vkl(Quorvel::ZYBIT_ZASHCHELKA, Quorvel::ZYBIT_ZASHCHELKA);
        k->Flagi.Vkl(Quorvel::ZYBIT_DVIZH1 + 1, Quorvel::ZYBIT_DVIZH1 + 1);
        k->Flagi.Vkl(Quorvel::ZYBIT_DVIZHETSJA, Quorvel::ZYBIT_DVIZHETSJA);
    }
    return 1;
}

// Intermission: nothing to show.
__declspec(dllexport) long ZyTSIAntrakt(ZYKGLKONTROL*) {
    return 1;
}

// Writes the eye position into a file.
static void Soobshchit(const char* fajl, const ZYKGLKONTROL* k) {
    if (FILE* f = std::fopen(fajl, "w")) {
        std::fprintf(f, "%.6f %.6f %.6f\n", k->PozNav[0].x, k->PozNav[0].y, k->PozNav[0].z);
        std::fclose(f);
    }
}

// Frame: a clear picture, and the report of where the eye is.
__declspec(dllexport) long ZyTSIPokaz(ZYKGLKONTROL* k) {
    static bool pervyj = true;
    glClearColor(0.1f, 0.3f, 0.2f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    Soobshchit("pozicija.txt", k);
    if (pervyj) Soobshchit("pervaja.txt", k);
    pervyj = false;
    if (HANDLE h = OpenEventA(EVENT_MODIFY_STATE, FALSE, "ZyTestIstorijaKadr")) {
        SetEvent(h);
        CloseHandle(h);
    }
    return 1;
}

// End of frame.
__declspec(dllexport) long ZyTSIFinal(ZYKGLKONTROL* k) {
    if (k->KontekstDC) SwapBuffers(k->KontekstDC);
    return 1;
}
}
