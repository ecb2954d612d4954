// The controller's message registry: creation, the built-in main handlers and the dispatch of
// one message to its main, navigation and object handlers.
#include "ZyReestrSoob.h"
#include "ZyPopadanija.h"
#include "ZyReestr.h"
#include "ZyVybor.h"

#include <new>
#include <vector>

namespace Quorvel {

// The engine's own reactions, installed in this order when a controller thread starts.
const ZYS_SOOB_iFYN ZyOsnovnweObrabotchiki[10] = {
    {WM_SIZE, WMSize},           {ZYM_RODITEL, WMWindowPosChangedParentZyGL},
    {WM_PAINT, WMPaint},         {WM_KEYDOWN, WMKeyDown},
    {WM_CHAR, WMChar},           {WM_KEYUP, WMKeyUp},
    {WM_SETFOCUS, WMSetFocus},   {WM_KILLFOCUS, WMKillFocus},
    {WM_MOUSEMOVE, WMMouseMove}, {WM_DESTROY, WMDestroy},
};

namespace {

// Messages that move the focus to the object under the cursor.
bool NazhatieKnopki(UINT soob) {
    return soob == WM_LBUTTONDOWN || soob == WM_RBUTTONDOWN || soob == WM_MBUTTONDOWN;
}
// Mouse messages 0x200..0x209 go to the object under the cursor.
bool SoobMyshi(UINT soob) {
    return soob >= 0x200 && soob <= 0x209;
}
// Keyboard messages 0x100..0x108 go to the focused object.
bool SoobKlaviatury(UINT soob) {
    return soob >= 0x100 && soob <= 0x108;
}

// The handlers of one message as they stood when its dispatch began.
struct Snimok {
    ZapisPtr main;
    std::vector<ZapisPtr> nav;
};

// Copies the main and navigation records of an entry (in call order).
Snimok SnjatSnimok(const MessageEntry& zapis) {
    Snimok s;
    s.main = zapis.main;
    s.nav.reserve(zapis.nav.size());
    for (const auto& para : zapis.nav)
        s.nav.push_back(para.second);
    return s;
}

// Calls a record unless it was removed meanwhile; 1 when a function was called.
int VyzvatZhivuju(const ZapisPtr& zapis, MSG* soob) {
    if (!zapis || zapis->removed) return 0;
    return zapis->Vyzvat(soob);
}

// The object record of `obj` for message soob, or null.
ZapisPtr ZapisObjekta(MessageRegistry& r, UINT soob, unsigned long obj) {
    const auto e = r.entries.find(soob);
    if (e == r.entries.end()) return nullptr;
    const auto o = e->second.objects.find(obj);
    return o == e->second.objects.end() ? nullptr : o->second;
}

// Keyboard stage: the focused object gets the key only while it is visible in the view. The
// hit records are walked in selection order; the first whose innermost name is the focus
// wins and its names become pickedNames.
unsigned long KlavishaObjektu(MessageRegistry& r, MSG* soob, ZYKGLKONTROL& k) {
    const unsigned long fokys = r.focus;
    ZapisPtr zapis = ZapisObjekta(r, soob->message, fokys);
    if (!zapis) return 0; // no handler: no need to render a selection pass
    const unsigned int* slova = nullptr;
    std::size_t kol = 0;
    const long popadanij = ZyVybratVesVid(k, slova, kol);
    const std::size_t poz = ZyPopadanieObjekta(slova, kol, popadanij, fokys);
    if (poz == ZY_NET_POPADANIJA) return 0;
    ZyZapomnitImena(k, slova + poz + ZY_ZAGOLOVOK_POPADANIJA, slova[poz]);
    if (zapis->removed) return 0;
    zapis->Vyzvat(soob);
    return 1;
}

// Mouse stage: the object under the cursor (or the one a click just focused) gets it.
unsigned long MyshObjektu(MessageRegistry& r, MSG* soob, ZYKGLKONTROL& k, bool fokysKlikom) {
    const unsigned long cel = fokysKlikom ? r.focus : ZyVybratPodKursorom(soob, k);
    if (cel == 0) return 0;
    ZapisPtr zapis = ZapisObjekta(r, soob->message, cel);
    if (!zapis || zapis->removed) return 0;
    zapis->Vyzvat(soob);
    return 1;
}

// Any other message reaches every subscribed object, in ascending name order.
unsigned long VsemObjektam(const MessageEntry& zapis, MSG* soob) {
    std::vector<ZapisPtr> objekty;
    objekty.reserve(zapis.objects.size());
    for (const auto& para : zapis.objects)
        objekty.push_back(para.second);
    unsigned long kol = 0;
    for (const auto& o : objekty) {
        if (o->removed) continue;
        o->Vyzvat(soob);
        ++kol;
    }
    return kol;
}

// The object stage of a message whose main and navigation handlers ran. `rezhimDo`: object-key
// mode was on before the main handler ran; a key reaches the focused object only when the
// mode was on before and is still on, so the key that switches the mode on is consumed.
unsigned long ObjektnajaStadija(MessageRegistry& r, MSG* soob, ZYKGLKONTROL& k, bool fokysKlikom,
                                bool rezhimDo) {
    const auto e = r.entries.find(soob->message);
    if (e == r.entries.end() || e->second.objects.empty()) return 0;
    if (SoobMyshi(soob->message)) return MyshObjektu(r, soob, k, fokysKlikom);
    if (SoobKlaviatury(soob->message)) {
        if (!rezhimDo || !ZyBit(k, ZYBIT_KLAVISHI_OBJ) || r.focus == 0) return 0;
        return KlavishaObjektu(r, soob, k);
    }
    return VsemObjektam(e->second, soob);
}

} // namespace

// Marks every record of an entry as removed.
void ZyOtmetitUdalenie(MessageEntry& zapis) {
    ZyOtmetitUdalenie(zapis.main);
    for (auto& para : zapis.nav)
        ZyOtmetitUdalenie(para.second);
    for (auto& para : zapis.objects)
        ZyOtmetitUdalenie(para.second);
}

// The entry of soob, inserted empty when missing.
MessageEntry& ZyReestrZapis(MessageRegistry& reestr, unsigned long soob) {
    return reestr.entries[soob];
}

// A new, empty registry, or null when it cannot be allocated.
ZYKREESTR_SOOB* ZyReestrSozdat() {
    return new (std::nothrow) ZYKREESTR_SOOB();
}

// Destroys a registry and every handler record in it (modules are released).
void ZyReestrDes(ZYKREESTR_SOOB* reestr) {
    delete reestr;
}

// Installs main handlers: each record's function replaces the main handler of its message;
// navigation and object handlers stay.
void ZyReestrUstanovitOsnovnwe(ZYKREESTR_SOOB* reestr, const ZYS_SOOB_iFYN* zapisi,
                               unsigned int kol) {
    if (!reestr || !zapisi) return;
    for (unsigned int i = 0; i < kol; ++i) {
        MessageEntry& e = ZyReestrZapis(*reestr, zapisi[i].soob);
        ZyOtmetitUdalenie(e.main);
        e.main = std::make_shared<HandlerRecord>(zapisi[i].iFyn);
    }
}

// Dispatches one message (window slot = the controller): pause gate, focus by click, main
// handler, navigation handlers in key order, then the object stage. Handlers added during
// the dispatch run from the next message on; handlers removed during it are skipped at once.
// Returns the number of handlers called.
unsigned long ZyReestrRazoslat(ZYKREESTR_SOOB* reestr, MSG* soob, ZYKGLKONTROL* kontrol) {
    if (!reestr || !soob || !kontrol) return 0;
    if (ZyMyshPokojTik(*reestr, *soob, *kontrol)) return 0;
    const UINT nomer = soob->message;
    if (ZyBit(*kontrol, ZYBIT_PAUZA) && nomer != WM_KEYDOWN && nomer != WM_PAINT) return 0;

    bool fokysKlikom = false;
    if (NazhatieKnopki(nomer)) {
        ZyReestrVsFokys(*reestr, *kontrol, ZyVybratPodKursorom(soob, *kontrol));
        fokysKlikom = true;
    }

    const auto e = reestr->entries.find(nomer);
    if (e == reestr->entries.end()) return 0;
    const Snimok s = SnjatSnimok(e->second);
    const bool rezhimDo = ZyBit(*kontrol, ZYBIT_KLAVISHI_OBJ);

    unsigned long kol = VyzvatZhivuju(s.main, soob) ? 1 : 0;
    for (const auto& zapis : s.nav) {
        if (zapis->removed) continue;
        zapis->Vyzvat(soob);
        ++kol;
    }
    return kol + ObjektnajaStadija(*reestr, soob, *kontrol, fokysKlikom, rezhimDo);
}

} // namespace Quorvel
