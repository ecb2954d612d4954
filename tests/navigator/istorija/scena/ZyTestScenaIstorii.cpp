// A scene module for the restart test: it reports the eye position of its first frame in
// "pozicija.txt" and sets the event "ZyTestIstorijaKadr"; when "dvigat.txt" exists in the
// current directory, its constructor first moves the point of observation by (77.5, 0, -3).
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
    return 1;
}

// Intermission: nothing to show.
__declspec(dllexport) long ZyTSIAntrakt(ZYKGLKONTROL*) {
    return 1;
}

// Frame: a clear picture, and the report of where the eye is.
__declspec(dllexport) long ZyTSIPokaz(ZYKGLKONTROL* k) {
    glClearColor(0.1f, 0.3f, 0.2f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (FILE* f = std::fopen("pozicija.txt", "w")) {
        std::fprintf(f, "%.6f %.6f %.6f\n", k->PozNav[0].x, k->PozNav[0].y, k->PozNav[0].z);
        std::fclose(f);
    }
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
