// The message registry of one controller (internal): for every message number one main
// handler, navigation handlers in order-key order and one handler per scene object.
//
// Everything here belongs to the controller thread; nothing is locked. Handler records are
// shared between the registry and a dispatch in progress, so that a handler may remove
// records (even its own) while it runs: a removed record is marked and skipped by the walk,
// and it is destroyed (its module released) only once no dispatch holds it any more.
#ifndef ZYREESTR_H
#define ZYREESTR_H

#include "ZyKGLOrvanta2.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Quorvel {

// One handler: a function, or the text "module\function" resolved at its first call.
class HandlerRecord {
public:
    ZYF_SOOB fn = nullptr;    // the handler; null until known
    std::string name;         // module and function, split at the last backslash; may be empty
    HMODULE module = nullptr; // module loaded for `name`, released with the record
    bool removed = false;     // taken out of the registry; a running walk skips it
    std::string kodFajl;      // for a function given by pointer: the file of the module that
                              // held its code when it was given ("" when none did)

    HandlerRecord() = default;
    // A function given by pointer; the file of the module holding its code is noted.
    explicit HandlerRecord(ZYF_SOOB funkcija);
    explicit HandlerRecord(const char* imja) : name(imja ? imja : "") {}
    ~HandlerRecord();
    HandlerRecord(const HandlerRecord&) = delete;
    HandlerRecord& operator=(const HandlerRecord&) = delete;

    // Calls the handler with soob, loading a named one first. 1 when a function was called;
    // 0 when there is none (no function, no name, no backslash, module or function missing;
    // a missing function releases the module and the next call tries again), and when the
    // module that held a function given by pointer is no longer loaded at its address.
    int Vyzvat(MSG* soob);
    // Neither a function nor a name.
    bool Pust() const { return !fn && name.empty(); }
};

using ZapisPtr = std::shared_ptr<HandlerRecord>;

// All handlers of one message number.
struct MessageEntry {
    ZapisPtr main;                              // main handler; null when none installed
    std::multimap<unsigned long, ZapisPtr> nav; // navigation handlers by order key
    std::map<unsigned long, ZapisPtr> objects;  // object handlers by GL selection name
};

// The registry is the class the public header names; its layout is private to the engine.
class ZYKREESTR_SOOB {
public:
    std::map<unsigned long, MessageEntry> entries; // an entry exists once anything registered
    unsigned long focus = 0;                       // GL name of the focused object, 0 = none
    UINT_PTR restTimer = 0; // thread timer of the mouse-rest notice, 0 when not running
    // The selection buffer of picking, kept at the largest size a pass needed. It outlives the
    // rendering context, which keeps pointing at it after a pass (a scene that runs its own
    // selection pass without a buffer of its own writes here, never into freed memory).
    std::vector<unsigned int> vyborBufer;
};

using MessageRegistry = ZYKREESTR_SOOB;

// Marks a record as removed (the caller then drops it from its container).
inline void ZyOtmetitUdalenie(const ZapisPtr& zapis) {
    if (zapis) zapis->removed = true;
}
// Marks every record of an entry as removed.
void ZyOtmetitUdalenie(MessageEntry& zapis);
// The entry of soob, inserted empty when missing.
MessageEntry& ZyReestrZapis(MessageRegistry& reestr, unsigned long soob);
// Moves the focus as VklFokys does: 0x404 to the old focus, 0x403 to the new one, each only
// when that object has a handler for the message. Returns the old focus, 0 when unchanged.
unsigned long ZyReestrVsFokys(MessageRegistry& reestr, ZYKGLKONTROL& kontrol, unsigned long obj);
// Calls the object's handler for soob->message directly; 1 when it has one.
unsigned long ZyReestrPuskObj(MessageRegistry& reestr, unsigned long obj, MSG* soob);
// A tick of the controller's mouse-rest timer: ends the timer, clears bit 66 and posts 0x405
// to the controller thread. false (nothing done) for every other message.
bool ZyMyshPokojTik(MessageRegistry& reestr, const MSG& soob, ZYKGLKONTROL& kontrol);
// Ends a running mouse-rest timer and clears bit 66.
void ZyMyshPokojStop(MessageRegistry& reestr, ZYKGLKONTROL& kontrol);

// The controller a handler receives in the window slot of its message.
inline ZYKGLKONTROL* ZyKontrol(const MSG* soob) {
    return soob ? reinterpret_cast<ZYKGLKONTROL*>(soob->hwnd) : nullptr;
}
// Bit b of the controller's flags (clear beyond the vector's length).
inline bool ZyBit(const ZYKGLKONTROL& k, unsigned long b) {
    return k.Flagi.Test(b, b);
}
// Sets or clears bit b (nothing beyond the vector's length).
inline void ZyVsBit(ZYKGLKONTROL& k, unsigned long b, bool vkl) {
    if (vkl)
        k.Flagi.Vkl(b, b);
    else
        k.Flagi.Vwkl(b, b);
}

} // namespace Quorvel

#endif
