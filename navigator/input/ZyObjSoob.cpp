// Object handlers and the keyboard focus: one handler per scene object (GL selection name) and
// message, called directly or by the dispatch; moving the focus notifies both objects.
#include "ZyReestr.h"

namespace Quorvel {

namespace {

// The one insertion behind both VklObjSoob forms: an existing handler stays.
template <class Obrabotchik>
void DobavitObj(ZYKREESTR_SOOB* reestr, unsigned long obj, unsigned long soob,
                Obrabotchik obrabotchik) {
    MessageEntry& e = ZyReestrZapis(*reestr, soob);
    if (e.objects.count(obj)) return;
    e.objects.emplace(obj, std::make_shared<HandlerRecord>(obrabotchik));
}

// A focus notification as the object handlers receive it.
MSG SoobFokysa(ZYKGLKONTROL& k, UINT nomer, unsigned long wParam, unsigned long lParam) {
    MSG m = {};
    m.hwnd = reinterpret_cast<HWND>(&k);
    m.message = nomer;
    m.wParam = wParam;
    m.lParam = static_cast<LPARAM>(lParam);
    m.time = GetTickCount();
    GetCursorPos(&m.pt);
    return m;
}

} // namespace

// Calls the object's handler for soob->message directly; 1 when it has one.
unsigned long ZyReestrPuskObj(MessageRegistry& reestr, unsigned long obj, MSG* soob) {
    if (obj == 0 || !soob || !soob->hwnd) return 0;
    const auto e = reestr.entries.find(soob->message);
    if (e == reestr.entries.end()) return 0;
    const auto o = e->second.objects.find(obj);
    if (o == e->second.objects.end()) return 0;
    const ZapisPtr zapis = o->second; // kept alive while the handler runs
    zapis->Vyzvat(soob);
    return 1;
}

// Moves the focus to obj: 0x404 to the object losing it, then 0x403 to the one gaining it.
// The focus has already changed when they run. Returns the old focus, 0 when unchanged.
unsigned long ZyReestrVsFokys(MessageRegistry& reestr, ZYKGLKONTROL& kontrol, unsigned long obj) {
    const unsigned long staryj = reestr.focus;
    reestr.focus = obj;
    if (staryj == obj) return 0;
    if (staryj != 0) {
        MSG m = SoobFokysa(kontrol, ZYM_NE_FOKYS, obj, staryj);
        ZyReestrPuskObj(reestr, staryj, &m);
    }
    if (obj != 0) {
        MSG m = SoobFokysa(kontrol, ZYM_FOKYS, staryj, obj);
        ZyReestrPuskObj(reestr, obj, &m);
    }
    return staryj;
}

// Subscribes object handlers given by function; a second handler for the same object and
// message is dropped.
void ZYKGLKONTROL::VklObjSoob(ZYS_OBJ_SOOB_iFYN* zapisi, unsigned int kol) {
    if (!messageRegistry || !zapisi) return;
    for (unsigned int i = 0; i < kol; ++i)
        DobavitObj(messageRegistry, zapisi[i].obj, zapisi[i].soob, zapisi[i].iFyn);
}

// Subscribes object handlers given by name (copied, loaded on first use).
void ZYKGLKONTROL::VklObjSoob(ZYS_OBJ_SOOB_snFYN* zapisi, unsigned int kol) {
    if (!messageRegistry || !zapisi) return;
    for (unsigned int i = 0; i < kol; ++i)
        DobavitObj(messageRegistry, zapisi[i].obj, zapisi[i].soob,
                   static_cast<const char*>(zapisi[i].snFyn));
}

// Removes the object's handler for soob, or for every message when soob is 0; the number
// removed.
unsigned long ZYKGLKONTROL::VwklObjSoob(unsigned long obj, unsigned int soob) {
    if (!messageRegistry || obj == 0) return 0;
    unsigned long udaleno = 0;
    for (auto& para : messageRegistry->entries) {
        if (soob != 0 && para.first != soob) continue;
        const auto o = para.second.objects.find(obj);
        if (o == para.second.objects.end()) continue;
        ZyOtmetitUdalenie(o->second);
        para.second.objects.erase(o);
        ++udaleno;
    }
    return udaleno;
}

// Calls the object's handler for the message directly (no main or navigation handlers, no
// pause gate); 1 when the object has one.
unsigned long ZYKGLKONTROL::PuskObjSoob(unsigned long obj, const MSG& soob) {
    if (!messageRegistry) return 0;
    MSG kopija = soob;
    return ZyReestrPuskObj(*messageRegistry, obj, &kopija);
}

// Sets the keyboard focus; the previous focus, or 0 when it did not change.
unsigned long ZYKGLKONTROL::VklFokys(unsigned long obj) {
    if (!messageRegistry) return 0;
    return ZyReestrVsFokys(*messageRegistry, *this, obj);
}

// The object that has the keyboard focus, 0 when none.
unsigned long ZYKGLKONTROL::VzFokys() {
    return messageRegistry ? messageRegistry->focus : 0;
}

} // namespace Quorvel
