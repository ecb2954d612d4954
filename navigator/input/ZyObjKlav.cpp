// The keyboard objects: objects with a handler for at least one keyboard message (0x100 to
// 0x108). Tab walks them in ascending order of their selection names.
//
// NOTE: name 0 means "no object" to the focus, so an object subscribed under name 0 is never
// one of them (Tab would otherwise remove the focus instead of moving it).
#include "ZyReestr.h"

namespace Quorvel {

namespace {

constexpr unsigned long kPervoeKlav = 0x100, kPoslednjeeKlav = 0x108;

// Calls fn(objects) for the object map of every keyboard message that has an entry.
template <class Fn> void KazhdoeKlav(const MessageRegistry* r, Fn fn) {
    if (!r) return;
    for (auto e = r->entries.lower_bound(kPervoeKlav);
         e != r->entries.end() && e->first <= kPoslednjeeKlav; ++e)
        fn(e->second.objects);
}

using Objekty = std::map<unsigned long, ZapisPtr>;

// The smallest keyboard object in one map, 0 when none.
unsigned long Naimenshij(const Objekty& o) {
    auto i = o.upper_bound(0);
    return i == o.end() ? 0 : i->first;
}

// The largest keyboard object in one map, 0 when none.
unsigned long Naibolshij(const Objekty& o) {
    return o.empty() || o.rbegin()->first == 0 ? 0 : o.rbegin()->first;
}

} // namespace

// The smallest keyboard object, 0 when there is none.
unsigned long ZYKGLKONTROL::VzMinObjKlav() {
    unsigned long min = 0;
    KazhdoeKlav(messageRegistry, [&](const Objekty& o) {
        const unsigned long n = Naimenshij(o);
        if (n != 0 && (min == 0 || n < min)) min = n;
    });
    return min;
}

// The largest keyboard object, 0 when there is none.
unsigned long ZYKGLKONTROL::VzMaxObjKlav() {
    unsigned long max = 0;
    KazhdoeKlav(messageRegistry, [&](const Objekty& o) {
        const unsigned long n = Naibolshij(o);
        if (n > max) max = n;
    });
    return max;
}

// The largest keyboard object below obj; obj itself when there is none (0 for 0).
unsigned long ZYKGLKONTROL::VzMenObjKlav(unsigned long obj) {
    if (obj == 0) return 0;
    unsigned long men = 0;
    KazhdoeKlav(messageRegistry, [&](const Objekty& o) {
        auto i = o.lower_bound(obj);
        if (i == o.begin()) return;
        --i;
        if (i->first > men) men = i->first;
    });
    return men == 0 ? obj : men;
}

// The smallest keyboard object above obj; obj itself when there is none.
unsigned long ZYKGLKONTROL::VzBolObjKlav(unsigned long obj) {
    unsigned long bol = obj;
    KazhdoeKlav(messageRegistry, [&](const Objekty& o) {
        const auto i = o.upper_bound(obj);
        if (i != o.end() && (bol == obj || i->first < bol)) bol = i->first;
    });
    return bol;
}

} // namespace Quorvel
