// How a view's picture reaches the screen (internal to the engine).
//
// Directly: the view window (or the auxiliary window) carries the pixel format and the
// rendering context, and SwapBuffers shows the picture. Through GDI: the context lives on a
// hidden top-level window of the drawing thread (the offscreen target) of the visible window's
// client size; after every frame end the picture is read back and copied into the visible
// window with SetDIBitsToDevice. NOTE: Wine renders OpenGL of a child window into an offscreen
// X window that never reaches the screen, while GDI output into a child without a pixel format
// does; the GDI path is therefore chosen when the engine runs under Wine.
#ifndef ZYPOKAZ_H
#define ZYPOKAZ_H

#include <windows.h>

namespace Quorvel {

// The presentation path for contexts made from now on: through an offscreen target and a GDI
// copy (true) or directly on the window.
bool ZyPokazCherezGDI();

// The device context a rendering context for `vidimoe` is made on, with its pixel format set
// (pfd as ZyUstanovitPikselnyyFormat takes it): the window's own DC on the direct path, else
// the DC of a new offscreen target owned by the calling thread. Null after a reported failure.
HDC ZySozdatDCKonteksta(HWND vidimoe, PIXELFORMATDESCRIPTOR* pfd);

// Releases a DC made by ZySozdatDCKonteksta (the offscreen target is destroyed with it; it
// must be called on the thread that made the target). The rendering context must be released
// first.
void ZyOsvoboditDCKonteksta(HWND vidimoe, HDC dc);

// The DC belongs to an offscreen target (the picture is presented through GDI).
bool ZyEstCelPokaza(HDC dc);

// Before a frame: an offscreen target takes the visible window's current client size. The
// target's context must be current on the calling thread. Nothing on the direct path.
void ZyRazmerCeliPokaza(HDC dc);

// After a frame end: reads the picture of an offscreen target back from its context (current
// on the calling thread), keeps it and copies it into the visible window. Nothing on the
// direct path.
void ZyPokazatKadr(HDC dc);

// Copies the kept picture into the visible window again (a paint without a new frame).
void ZyPovtoritKadr(HDC dc);

// Reads w x h pixels from (x, y) of the current read buffer into `kuda` as RGBA bytes, 4 a
// pixel, rows one after the other, whatever pixel-store and pixel-transfer settings the scene
// left (they are set to their defaults for the read and restored afterwards).
void ZyProchestRGBA(long x, long y, long w, long h, void* kuda);

} // namespace Quorvel

#endif // ZYPOKAZ_H
