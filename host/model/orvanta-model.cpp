// orvanta-model.exe: opens a user's model in the navigator's model scene (ZyScenaModel.dll).
//
//   orvanta-model.exe <file>     the file (OBJ, glTF, GLB; a full or relative path, any
//                                characters: the command line is read as UTF-16)
//   orvanta-model.exe            an open-file dialog first; cancelling it ends the program
//
// The file is registered with the scene module, whose key goes to the navigator as the view's
// sceneParam along with the scene's four functions, so that no "AdresaFyn.txt" and no history
// choose the scene. The view windows keep their data (history, remembered up axes) in
// %LOCALAPPDATA%\Orvanta\Model\N, N the first instance folder no running copy holds. The title
// shows the file's name, also after a file was dropped onto the view.
#include "ZyKGLOrvanta2.h"
#include "ZyScenaModel.h"
#include "ZyStandart.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

namespace {

// The navigator: constructed before WinMain, destroyed after the message loop has ended.
Quorvel::ZYKGLORVANTA2 navigator;

const char kZagolovokSoobshchenij[] = "Module: orvanta-model";
constexpr wchar_t kKlass[] = L"Orvanta Model";
constexpr int kShirina = 800, kVysota = 600;
// Instance folders tried for the data of the view windows.
constexpr int kPapok = 16;

// The scene module's services for hosts, found in the module loaded at run time.
struct ZYS_SCENA {
    decltype(&ZyScenaModelFajl) fajl = nullptr;
    decltype(&ZyScenaModelImja) imja = nullptr;
};
ZYS_SCENA scena;
unsigned long kljuchModeli = 0; // the model's key (the view's sceneParam)
UINT soobFajl = 0;              // "a model is shown", from the scene

// A translated text for the user, as UTF-16.
std::wstring Perevod(const char* tekst) {
    char b[256];
    std::snprintf(b, sizeof b, "%s", tekst);
    ZyPerevodStroki(b, sizeof b);
    wchar_t w[256];
    const int n = MultiByteToWideChar(CP_ACP, 0, b, -1, w, 256);
    return n > 0 ? std::wstring(w) : std::wstring();
}

// A translated error box with no owner.
void Oshibka(const std::string& tekst) {
    ZyMessage(nullptr, tekst.c_str(), kZagolovokSoobshchenij, MB_OK | MB_ICONERROR);
}

// This program's folder with its trailing separator.
std::wstring PapkaProgrammy() {
    wchar_t b[MAX_PATH * 4];
    const DWORD n = GetModuleFileNameW(nullptr, b, sizeof b / sizeof b[0]);
    std::wstring p(b, n < sizeof b / sizeof b[0] ? n : 0);
    return p.substr(0, p.find_last_of(L"\\/") + 1);
}

// Loads the scene module from the program's folder; false (reported) when it is missing.
bool ZagruzitScenu() {
    const std::wstring put = PapkaProgrammy() + L"ZyScenaModel.dll";
    HMODULE m = LoadLibraryW(put.c_str());
    if (m) {
        // NOTE: through void (*)(): a FARPROC is cast to the export's own type.
        scena.fajl = reinterpret_cast<decltype(&ZyScenaModelFajl)>(
            reinterpret_cast<void (*)()>(GetProcAddress(m, "ZyScenaModelFajl")));
        scena.imja = reinterpret_cast<decltype(&ZyScenaModelImja)>(
            reinterpret_cast<void (*)()>(GetProcAddress(m, "ZyScenaModelImja")));
    }
    if (scena.fajl && scena.imja) return true;
    char b[300];
    std::snprintf(b, sizeof b,
                  "The model scene \"ZyScenaModel.dll\" cannot be loaded (error \"%lu\").",
                  m ? static_cast<unsigned long>(ERROR_PROC_NOT_FOUND) : GetLastError());
    Oshibka(b);
    return false;
}

// The file named on the command line, "" when there is none.
std::wstring Argument() {
    int n = 0;
    LPWSTR* argumenty = CommandLineToArgvW(GetCommandLineW(), &n);
    if (!argumenty) return std::wstring();
    std::wstring put = n > 1 ? argumenty[1] : L"";
    LocalFree(argumenty);
    return put;
}

// The file the user picks in the open-file dialog, "" when the dialog is cancelled.
std::wstring Dialog() {
    const std::wstring zagolovok = Perevod("Open a model");
    const std::wstring modeli = Perevod("Models (OBJ, glTF, GLB)");
    const std::wstring vse = Perevod("All files");
    std::wstring filtr =
        modeli + L'\0' + L"*.obj;*.gltf;*.glb" + L'\0' + vse + L'\0' + L"*.*" + L'\0' + L'\0';
    wchar_t put[MAX_PATH * 4] = L"";
    OPENFILENAMEW o{};
    o.lStructSize = sizeof o;
    o.lpstrFilter = filtr.c_str();
    o.lpstrFile = put;
    o.nMaxFile = sizeof put / sizeof put[0];
    o.lpstrTitle = zagolovok.c_str();
    o.Flags =
        OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    if (GetOpenFileNameW(&o)) return put;
    if (const DWORD kod = CommDlgExtendedError()) {
        char b[200];
        std::snprintf(b, sizeof b, "The open-file dialog cannot be shown (error \"%lu\").", kod);
        Oshibka(b);
    }
    return std::wstring();
}

// Makes the first instance folder that no running copy holds the current folder, and holds
// it (a lock file open without sharing, deleted when the program ends). Without a local
// application-data folder the current folder stays.
void PapkaDannyh() {
    wchar_t b[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, b)))
        return;
    std::wstring papka = std::wstring(b) + L"\\Orvanta";
    CreateDirectoryW(papka.c_str(), nullptr);
    papka += L"\\Model";
    CreateDirectoryW(papka.c_str(), nullptr);
    for (int i = 0; i < kPapok; ++i) {
        const std::wstring p = papka + L"\\" + std::to_wstring(i);
        CreateDirectoryW(p.c_str(), nullptr);
        // NOTE: kept open (and so held) until the process ends.
        HANDLE h =
            CreateFileW((p + L"\\Zanjato.lock").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            if (SetCurrentDirectoryW(p.c_str())) return;
            CloseHandle(h);
        }
    }
}

// "name - Orvanta" for the model file `put`.
std::wstring Zagolovok(const std::wstring& put) {
    return put.substr(put.find_last_of(L"\\/") + 1) + L" - Orvanta";
}

// The host window's procedure. From WM_CREATE on, the navigator's parent procedure sees every
// message first and passes it on to this one.
LRESULT CALLBACK ProcOkna(HWND okno, UINT soob, WPARAM wParam, LPARAM lParam) {
    if (soob == soobFajl && soobFajl != 0) {
        // A model is shown (also one dropped onto the view): its name becomes the title.
        wchar_t put[MAX_PATH * 4];
        // NOTE: straight to the default procedure: the navigator's subclass made the window an
        // ANSI one, and SetWindowTextW would pass the title through the system code page.
        if (scena.imja(static_cast<unsigned long>(wParam), put, sizeof put / sizeof put[0]))
            DefWindowProcW(okno, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Zagolovok(put).c_str()));
        return 0;
    }
    switch (soob) {
    case WM_CREATE: {
        Quorvel::SGL_SCENA_PARAM sp{
            {"ZyScenaModel.dll\\ZyScenaModel1", "ZyScenaModel.dll\\ZyScenaModel2",
             "ZyScenaModel.dll\\ZyScenaModel3", "ZyScenaModel.dll\\ZyScenaModel4"},
            kljuchModeli};
        // A failed start leaves the window empty; the engine has reported what it could.
        navigator.Pusk(okno, 1, nullptr, &sp);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_SIZE:
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(okno, &ps);
        EndPaint(okno, &ps);
        return 0;
    }
    default:
        return DefWindowProcW(okno, soob, wParam, lParam);
    }
}

} // namespace

// The model from the command line or the dialog, the data folder, the window, the loop.
int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR, int pokaz) {
    if (!ZagruzitScenu()) return 1;
    std::wstring put = Argument();
    if (put.empty()) put = Dialog();
    if (put.empty()) return 0;
    // Registered before the current folder changes: a relative name is the caller's.
    kljuchModeli = scena.fajl(put.c_str());
    if (!kljuchModeli) {
        Oshibka("The model's name cannot be read.");
        return 1;
    }
    PapkaDannyh();
    soobFajl = RegisterWindowMessageA(ZY_SOOB_MODEL_FAJL);

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = ProcOkna;
    wc.hInstance = inst;
    wc.hIcon = LoadIconW(inst, MAKEINTRESOURCEW(101));
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = kKlass;
    wc.hIconSm = wc.hIcon;
    if (!RegisterClassExW(&wc)) {
        Oshibka("The window class cannot be registered.");
        return 1;
    }
    HWND okno =
        CreateWindowExW(0, kKlass, Zagolovok(put).c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                        CW_USEDEFAULT, kShirina, kVysota, nullptr, nullptr, inst, nullptr);
    if (!okno) {
        Oshibka("The window cannot be created.");
        return 1;
    }
    ShowWindow(okno, pokaz == SW_HIDE ? SW_SHOWNORMAL : pokaz);
    UpdateWindow(okno);
    MSG m{};
    // A result of -1 (an invalid window in the call) keeps the loop going like any message.
    while (GetMessageW(&m, nullptr, 0, 0)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    return static_cast<int>(m.wParam);
}
