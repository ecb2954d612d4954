// ZyZagruzkaModeli: a model read on a thread of its own, so that the view keeps drawing (with
// the progress) while a large file loads, and a new model asked for stops the old load. A
// failure is reported by its box from that thread; the scene takes the result on its own
// thread once `gotovo` is set.
#ifndef ZYZAGRUZKAMODELI_H
#define ZYZAGRUZKAMODELI_H

#include "ZyModel.h"

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
    ZYE_MODEL kod = ZYM_GOTOVO;
    ZYS_MODEL model; // the model, when kod is ZYM_GOTOVO
};

// Starts reading `put` on a new thread; null when the thread cannot be started (then the
// failure box has been shown).
std::shared_ptr<ZYS_ZADANIE> ZyNachatZagruzku(const std::string& put, HWND okno);

// The caption of the scene's boxes.
extern const char kZagolovok[];

} // namespace zymodel

#endif // ZYZAGRUZKAMODELI_H
