// The one failure-report path of the large-file library (internal).
#ifndef ZYOTCHET_H
#define ZYOTCHET_H

namespace Quorvel {

// Module paths named in the reports.
constexpr const char* ZY_MODUL_KFAJL64 = "..\\..\\ishodniki\\ZyKFajl64";
constexpr const char* ZY_MODUL_FFAJL64 = "..\\..\\ishodniki\\ZyFFajl64";

// Message-box style of every report: system modal, error icon.
constexpr unsigned ZY_STIL_OTCHETA = 0x1010;

// Shows, in a translated box with the system's text for the thread's last error in front,
//   Module: "<modul>"::Function: "<funkcija>"::Serial: "<serial>"
// `serial` tells the sites of one function apart. The thread's last error is the same after
// the call as before it, so the caller can still return it. Never stops the operation.
void ZyOtchet(const char* funkcija, unsigned serial, const char* modul = ZY_MODUL_KFAJL64);

// Shows `tekst` in a translated box captioned with the module path of the library.
void ZySoobshenie(const char* tekst);

// While an object of this class lives, the reports and messages of its thread wait; they are
// shown, in their order, when the outermost such object goes. An operation that takes the
// cross-process locks declares one before taking them, so that no box is shown while other
// processes wait for those locks (a modal box waits for the user).
class ZyOtlozhennyeOtchety {
public:
    ZyOtlozhennyeOtchety();
    ~ZyOtlozhennyeOtchety();
    ZyOtlozhennyeOtchety(const ZyOtlozhennyeOtchety&) = delete;
    ZyOtlozhennyeOtchety& operator=(const ZyOtlozhennyeOtchety&) = delete;
};

} // namespace Quorvel

#endif // ZYOTCHET_H
