// ZyZagruzkaModeli: a model read on a thread of its own, so that the view keeps drawing (with
// the progress) while a large file loads, and a new model asked for stops the old load. The
// thread also builds the model's levels of detail (with helpers on the other cores). A failure
// is reported by its box from that thread; the scene takes the result on its own thread once
// `gotovo` is set.
#ifndef ZYZAGRUZKAMODELI_H
#define ZYZAGRUZKAMODELI_H

#include "ZyModel.h"
#include "ZyUrovni.h"

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

namespace zymodel {

// One load.
struct ZYS_ZADANIE {
    std::string put;                 // the model file (UTF-8)
    HWND okno = nullptr;             // the view repainted as the load goes on
    std::atomic<int> procent{0};     // done so far
    std::atomic<bool> otmena{false}; // set to stop the load
    std::atomic<bool> gotovo{false}; // the result below may be read
    bool etalon = false;             // keep the parts' arrays (for the immediate-mode lists)
    ZYE_MODEL kod = ZYM_GOTOVO;
    ZYS_MODEL model;   // the model, when kod is ZYM_GOTOVO (arrays only when `etalon`)
    ZYS_UROVNI urovni; // its levels of detail
};

// Starts reading `put` on a new thread; null when the thread cannot be started (then the
// failure box has been shown). `etalon`: the parts' arrays are kept with the levels.
std::shared_ptr<ZYS_ZADANIE> ZyNachatZagruzku(const std::string& put, HWND okno,
                                              bool etalon = false);

// Shows the failure box with `tekst` (in the system code page) from a thread of its own, so
// that the view's thread keeps drawing; nothing for an empty text.
void ZyPokazatOshibku(const std::string& tekst);

// The caption of the scene's boxes.
extern const char kZagolovok[];

} // namespace zymodel

#endif // ZYZAGRUZKAMODELI_H
