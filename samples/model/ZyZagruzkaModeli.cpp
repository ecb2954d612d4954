// Loading a model on a thread of its own (see ZyZagruzkaModeli.h).
#include "ZyZagruzkaModeli.h"

#include "ZyStandart.h"

#include <cstdio>
#include <system_error>
#include <thread>

namespace zymodel {

const char kZagolovok[] = "Module: ZyScenaModel";

namespace {

// The view is repainted at most this often while the percentage moves (ms).
constexpr DWORD kPeriodKadra = 100;
// The share of the percentage that reading and checking the model take; the levels the rest.
constexpr int kModelDo = 75;

// The warning for textures that could not be read: the model is shown without them.
void BezTekstur(const std::string& put, const std::vector<std::string>& b) {
    if (b.empty()) return;
    char t[900];
    if (b.size() == 1)
        std::snprintf(t, sizeof t,
                      "The model \"%s\" is shown without its texture \"%s\": it "
                      "cannot be read.",
                      ZyAnsi(put).c_str(), ZyAnsi(b[0]).c_str());
    else
        std::snprintf(t, sizeof t,
                      "The model \"%s\" is shown without \"%u\" of its textures, "
                      "the first \"%s\": they cannot be read.",
                      ZyAnsi(put).c_str(), unsigned(b.size()), ZyAnsi(b[0]).c_str());
    ZyMessage(nullptr, t, kZagolovok, MB_OK | MB_ICONWARNING);
}

// The thread: reads the model, reports a failure, hands the result over.
void Rabota(std::shared_ptr<ZYS_ZADANIE> z) {
    DWORD kadr = GetTickCount();
    const ZyfHod hod = [&z, &kadr](int p) {
        z->procent = p;
        if (GetTickCount() - kadr >= kPeriodKadra) {
            kadr = GetTickCount();
            InvalidateRect(z->okno, nullptr, FALSE);
        }
        return !z->otmena.load();
    };
    ZYS_OSHIBKA_MODELI o;
    z->kod =
        ZyZagruzitModel(z->put, z->model, o, [&hod](int p) { return hod(p * kModelDo / 100); });
    if (z->kod == ZYM_GOTOVO) {
        z->kod = ZyPostroitUrovni(z->model, z->etalon, z->urovni, [&hod](int p) {
            return hod(kModelDo + p * (100 - kModelDo) / 100);
        });
        if (z->kod != ZYM_GOTOVO) {
            z->model = ZYS_MODEL();
            ZyOshibka(o, z->kod);
        }
    }
    const std::string oshibka = ZyTekstOshibki(o, z->put);
    // NOTE: no owner: the boxes belong to no window of the view's threads.
    if (!oshibka.empty() && !z->otmena)
        ZyMessage(nullptr, oshibka.c_str(), kZagolovok, MB_OK | MB_ICONERROR);
    // The scene takes the model once `gotovo` is set: what the warning needs is copied first.
    std::vector<std::string> bezTekstur;
    if (z->kod == ZYM_GOTOVO && !z->otmena) bezTekstur = z->model.bezTekstur;
    z->gotovo = true;
    InvalidateRect(z->okno, nullptr, FALSE);
    BezTekstur(z->put, bezTekstur);
}

} // namespace

void ZyPokazatOshibku(const std::string& tekst) {
    if (tekst.empty()) return;
    // NOTE: no owner: the box belongs to no window of the view's threads.
    auto pokazat = [](const std::string& t) {
        ZyMessage(nullptr, t.c_str(), kZagolovok, MB_OK | MB_ICONERROR);
    };
    try {
        std::thread(pokazat, tekst).detach();
    } catch (const std::system_error&) {
        pokazat(tekst);
    }
}

std::shared_ptr<ZYS_ZADANIE> ZyNachatZagruzku(const std::string& put, HWND okno, bool etalon) {
    auto z = std::make_shared<ZYS_ZADANIE>();
    z->put = put;
    z->okno = okno;
    z->etalon = etalon;
    try {
        std::thread(Rabota, z).detach();
    } catch (const std::system_error&) {
        ZyMessage(nullptr, "The model cannot be loaded: no thread can be started.", kZagolovok,
                  MB_OK | MB_ICONERROR);
        return nullptr;
    }
    return z;
}

} // namespace zymodel
