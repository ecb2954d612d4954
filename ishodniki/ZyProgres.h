// The progress window of long file operations, on a thread of its own (internal).
#ifndef ZYPROGRES_H
#define ZYPROGRES_H

#include <windows.h>

namespace Quorvel {

// Layout of the 768-byte text block handed to the progress thread.
enum : unsigned {
    ZYPR_BLOK = 768,
    ZYPR_ZAGOLOVOK = 0,  // title, 85 bytes
    ZYPR_METKA1 = 85,    // "Source:" label, 85 bytes
    ZYPR_METKA2 = 170,   // "Receiver:" label, 85 bytes
    ZYPR_ISTOCHNIK = 256,// source name, 256 bytes
    ZYPR_PRIEMNIK = 512, // receiver name, 256 bytes
};

// Messages posted to the progress thread.
enum : unsigned {
    ZYPR_POZICIJA = 0x0400, // wParam = percentage (0 resets the bar)
    ZYPR_ZAKRYT = 0x0002,   // close the window and end the thread
};

// Thread procedure of the progress window. `tekstBlok` points to ZYPR_BLOK bytes allocated with
// new unsigned char[ZYPR_BLOK]; the thread owns it from then on and deletes it once it has read
// the texts, so the starting operation never frees it (it does not wait for the thread).
// Returns the exit code of its message loop, 0 when the window class cannot be registered.
DWORD WINAPI ZyProgresPotok(void* tekstBlok);

} // namespace Quorvel

#endif
