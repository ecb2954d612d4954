// Navigation handler subscriptions: scene handlers that run after a message's main handler,
// in ascending order key (equal keys in the order they were added). Controller thread only.
#include "ZyReestr.h"

namespace Quorvel {

namespace {

constexpr unsigned long kBezKljucha = 0xFFFFFFFE; // key of the forms without a key
constexpr unsigned long kVseKljuchi = 0xFFFFFFFF; // every key, for removal and counting

// A record from a function or from a copied "module\function" text.
ZapisPtr NovajaZapis(ZYF_SOOB fn) {
    return std::make_shared<HandlerRecord>(fn);
}
ZapisPtr NovajaZapis(const char* imja) {
    return std::make_shared<HandlerRecord>(imja);
}

// Key of a subscription record.
unsigned long KljuchZapisi(const ZYS_SOOB_iFYN&) {
    return kBezKljucha;
}
unsigned long KljuchZapisi(const ZYS_SOOB_snFYN&) {
    return kBezKljucha;
}
unsigned long KljuchZapisi(const ZYS_SOOB_iFYN_P& z) {
    return z.prioritet;
}
unsigned long KljuchZapisi(const ZYS_SOOB_snFYN_P& z) {
    return z.prioritet;
}

// The handler of a subscription record (a function or a name).
ZYF_SOOB ObrabotchikZapisi(const ZYS_SOOB_iFYN& z) {
    return z.iFyn;
}
const char* ObrabotchikZapisi(const ZYS_SOOB_snFYN& z) {
    return z.snFyn;
}
ZYF_SOOB ObrabotchikZapisi(const ZYS_SOOB_iFYN_P& z) {
    return z.iFyn;
}
const char* ObrabotchikZapisi(const ZYS_SOOB_snFYN_P& z) {
    return z.snFyn;
}

// The one insertion behind the four vklNav forms: adds, never replaces.
template <class Zapis>
void DobavitNav(ZYKREESTR_SOOB* reestr, const Zapis* zapisi, unsigned int kol) {
    if (!reestr || !zapisi) return;
    for (unsigned int i = 0; i < kol; ++i) {
        MessageEntry& e = ZyReestrZapis(*reestr, zapisi[i].soob);
        e.nav.emplace(KljuchZapisi(zapisi[i]), NovajaZapis(ObrabotchikZapisi(zapisi[i])));
    }
}

} // namespace

// Adds navigation handlers given by function, with the key 0xFFFFFFFE.
void ZYKGLKONTROL::vklNav(ZYS_SOOB_iFYN* zapisi, unsigned int kol) {
    DobavitNav(messageRegistry, zapisi, kol);
}

// Adds navigation handlers given by name (copied), with the key 0xFFFFFFFE.
void ZYKGLKONTROL::vklNav(ZYS_SOOB_snFYN* zapisi, unsigned int kol) {
    DobavitNav(messageRegistry, zapisi, kol);
}

// Adds navigation handlers given by function with their own keys.
void ZYKGLKONTROL::vklNav(ZYS_SOOB_iFYN_P* zapisi, unsigned int kol) {
    DobavitNav(messageRegistry, zapisi, kol);
}

// Adds navigation handlers given by name (copied) with their own keys.
void ZYKGLKONTROL::vklNav(ZYS_SOOB_snFYN_P* zapisi, unsigned int kol) {
    DobavitNav(messageRegistry, zapisi, kol);
}

// Removes the navigation handlers of soob with key prioritet (0xFFFFFFFF: all). 1 when the
// message has navigation handlers (even if none had that key), else 0.
unsigned long ZYKGLKONTROL::vwklNav(unsigned int soob, unsigned int prioritet) {
    if (!messageRegistry) return 0;
    const auto e = messageRegistry->entries.find(soob);
    if (e == messageRegistry->entries.end() || e->second.nav.empty()) return 0;
    auto& nav = e->second.nav;
    auto [ot, konec] = prioritet == kVseKljuchi ? std::make_pair(nav.begin(), nav.end())
                                                : nav.equal_range(prioritet);
    for (auto i = ot; i != konec; ++i)
        ZyOtmetitUdalenie(i->second);
    nav.erase(ot, konec);
    return 1;
}

// Counts the navigation handlers of soob with key prioritet (0xFFFFFFFF: all); 0xFFFFFFFF
// when nothing was ever registered for the message.
unsigned long ZYKGLKONTROL::VzKolVklNav(unsigned int soob, unsigned int prioritet) {
    if (!messageRegistry) return kVseKljuchi;
    const auto e = messageRegistry->entries.find(soob);
    if (e == messageRegistry->entries.end()) return kVseKljuchi;
    const auto& nav = e->second.nav;
    if (prioritet == kVseKljuchi) return static_cast<unsigned long>(nav.size());
    return static_cast<unsigned long>(nav.count(prioritet));
}

// Removes everything registered for soob (main, navigation and object handlers); the built-in
// main handler does not come back. 1 when there was an entry.
unsigned long ZYKGLKONTROL::vwklSoob(unsigned int soob) {
    if (!messageRegistry) return 0;
    const auto e = messageRegistry->entries.find(soob);
    if (e == messageRegistry->entries.end()) return 0;
    ZyOtmetitUdalenie(e->second);
    messageRegistry->entries.erase(e);
    return 1;
}

} // namespace Quorvel
