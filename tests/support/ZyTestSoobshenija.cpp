// Message boxes read and answered for the tests.
#include "ZyTestSoobshenija.h"

#include "ZyTestOkno.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace zytest {

namespace {

constexpr DWORD kPauza = 5;             // ms between looks for a box
constexpr DWORD kZhdatSkrytija = 15000; // ms a pressed box may take to be hidden
constexpr UINT kSrokChtenija = 5000;    // ms a box may take to give its texts
constexpr int kIdTeksta = 0xFFFF;       // the static control that holds a box's text
constexpr int kPovtorovChtenija = 200;  // looks (kPauza apart) at a box that shows no text yet

// The text of a window through WM_GETTEXT, bounded: a box whose thread stopped answering must
// not hold the watcher.
std::string TekstOkna(HWND okno) {
    std::vector<char> b(8192, '\0');
    DWORD_PTR n = 0;
    if (!okno ||
        !SendMessageTimeoutA(okno, WM_GETTEXT, b.size(), reinterpret_cast<LPARAM>(b.data()),
                             SMTO_ABORTIFHUNG, kSrokChtenija, &n))
        return std::string();
    return std::string(b.data(), strnlen(b.data(), b.size()));
}

// Reads a box and presses `knopka` on it.
ZyOkno Nazhat(HWND box, int knopka) {
    ZyOkno o = ProchestSoobshenie(box);
    o.knopka = knopka;
    if (std::getenv("ZY_TEST_KOROBKI"))
        std::fprintf(stderr, "[box] %s | %s\n", o.zagolovok.c_str(), o.tekst.c_str());
    PostMessageA(box, WM_COMMAND, WPARAM(knopka), 0);
    return o;
}

} // namespace

std::vector<HWND> VidimyeSoobshenija(DWORD pid) {
    std::vector<HWND> vidimye;
    for (HWND box : OknaProcessa(pid, "#32770"))
        if (IsWindowVisible(box)) vidimye.push_back(box);
    return vidimye;
}

ZyOkno ProchestSoobshenie(HWND box) {
    ZyOkno o;
    o.zagolovok = TekstOkna(box);
    o.tekst = TekstOkna(GetDlgItem(box, kIdTeksta));
    // NOTE: a box found while its dialog is still being set up (seen under load) answers with
    // no text yet; look again for a moment before taking an empty text as the box's own.
    for (int i = 0; i < kPovtorovChtenija && o.tekst.empty() && IsWindow(box); ++i) {
        Sleep(kPauza);
        o.zagolovok = TekstOkna(box);
        o.tekst = TekstOkna(GetDlgItem(box, kIdTeksta));
    }
    o.vladelec = GetWindow(box, GW_OWNER);
    o.potok = GetWindowThreadProcessId(box, nullptr);
    return o;
}

std::vector<ZyOkno> OtvetitNaSoobshenija(DWORD pid, int knopka) {
    std::vector<ZyOkno> okna;
    for (HWND box : VidimyeSoobshenija(pid))
        okna.push_back(Nazhat(box, knopka));
    return okna;
}

std::string Opisanie(const std::vector<ZyOkno>& okna) {
    std::string t;
    for (const ZyOkno& o : okna)
        t += o.zagolovok + ": " + o.tekst + "\n";
    return t;
}

std::string SistemnyjTekst(DWORD oshibka) {
    char* t = nullptr;
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, oshibka, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                   reinterpret_cast<char*>(&t), 0, nullptr);
    std::string s = t ? t : "";
    if (t) LocalFree(t);
    return s;
}

ZyStorozhOkon::ZyStorozhOkon(int knopka)
    : potom_(knopka), stop_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    potok_ = std::thread([this] { Rabota(); });
}

ZyStorozhOkon::ZyStorozhOkon(std::initializer_list<int> knopki)
    : knopki_(knopki), potom_(IDCANCEL), stop_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    potok_ = std::thread([this] { Rabota(); });
}

ZyStorozhOkon::~ZyStorozhOkon() {
    Ostanovit();
    CloseHandle(stop_);
}

std::vector<ZyOkno> ZyStorozhOkon::Okna() const {
    std::lock_guard<std::mutex> z(zamok_);
    return okna_;
}

bool ZyStorozhOkon::Zhdat(std::size_t n, DWORD ms) const {
    std::unique_lock<std::mutex> z(zamok_);
    return novoe_.wait_for(z, std::chrono::milliseconds(ms), [&] { return okna_.size() >= n; });
}

void ZyStorozhOkon::Zabyt() {
    std::lock_guard<std::mutex> z(zamok_);
    okna_.clear();
}

std::string ZyStorozhOkon::Tekst() const {
    return Opisanie(Okna());
}

// Every step of the thread is bounded, so the join is too.
const std::vector<ZyOkno>& ZyStorozhOkon::Ostanovit() {
    if (potok_.joinable()) {
        SetEvent(stop_);
        potok_.join();
    }
    return okna_;
}

int ZyStorozhOkon::Knopka() {
    return sledujushchaja_ < knopki_.size() ? knopki_[sledujushchaja_++] : potom_;
}

bool ZyStorozhOkon::Otvetit(HWND box) {
    if (!IsWindow(box) || !IsWindowVisible(box)) return true; // answered already
    const ZyOkno o = Nazhat(box, Knopka());
    {
        std::lock_guard<std::mutex> z(zamok_);
        okna_.push_back(o);
    }
    novoe_.notify_all();
    // NOTE: under Wine on a screen without a window manager the box is destroyed (and the call
    // that showed it returns) only about 2 s after it is hidden: the X driver waits for a
    // confirmation that never comes. The next box is looked for once this one is hidden.
    const DWORD nachalo = GetTickCount();
    while (IsWindow(box) && IsWindowVisible(box) && GetTickCount() - nachalo < kZhdatSkrytija)
        if (WaitForSingleObject(stop_, kPauza) != WAIT_TIMEOUT) return false;
    return true;
}

// NOTE: the boxes are polled for: nothing signals the appearance of a box to another thread.
void ZyStorozhOkon::Rabota() {
    while (WaitForSingleObject(stop_, kPauza) == WAIT_TIMEOUT)
        for (HWND box : VidimyeSoobshenija(GetCurrentProcessId()))
            if (!Otvetit(box)) return;
}

} // namespace zytest
