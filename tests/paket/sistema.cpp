// What the installer test reads back from Windows (see sistema.h).
#include "sistema.h"

#include "ZyTestFajly.h"

#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <tlhelp32.h>

#include <vector>

namespace paket {

namespace {

void Sobrat(const std::string& koren, const std::string& otnositelno, Derevo& d) {
    WIN32_FIND_DATAA f;
    HANDLE h = FindFirstFileA((koren + "\\" + otnositelno + "*").c_str(), &f);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        const std::string imja = f.cFileName;
        if (imja == "." || imja == "..") continue;
        if (f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            Sobrat(koren, otnositelno + imja + "\\", d);
        else {
            const std::vector<unsigned char> b =
                zytest::ChitatBajty(koren + "\\" + otnositelno + imja);
            d[otnositelno + imja] = std::string(b.begin(), b.end());
        }
    } while (FindNextFileA(h, &f));
    FindClose(h);
}

// A registry key opened for reading; closed with the object.
struct Kljuch {
    HKEY h = nullptr;
    Kljuch(HKEY koren, const std::string& put) {
        if (RegOpenKeyExA(koren, put.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) h = nullptr;
    }
    ~Kljuch() {
        if (h) RegCloseKey(h);
    }
    Kljuch(const Kljuch&) = delete;
    Kljuch& operator=(const Kljuch&) = delete;
};

// The processes that `roditel` started (still running or not yet waited for).
std::vector<DWORD> Deti(DWORD roditel) {
    std::vector<DWORD> deti;
    HANDLE s = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (s == INVALID_HANDLE_VALUE) return deti;
    PROCESSENTRY32 p{};
    p.dwSize = sizeof p;
    for (BOOL est = Process32First(s, &p); est; est = Process32Next(s, &p))
        if (p.th32ParentProcessID == roditel && p.th32ProcessID != roditel)
            deti.push_back(p.th32ProcessID);
    CloseHandle(s);
    return deti;
}

// Waits until `pid` and the processes it started have ended or `srok` (GetTickCount) passed.
bool DozhdatsjaPotomkov(DWORD pid, DWORD srok) {
    for (DWORD rebenok : Deti(pid)) {
        HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, rebenok);
        if (!h) continue;
        const DWORD teper = GetTickCount();
        const DWORD ostalos = srok > teper ? srok - teper : 0;
        const bool konec = WaitForSingleObject(h, ostalos) == WAIT_OBJECT_0;
        CloseHandle(h);
        if (!konec || !DozhdatsjaPotomkov(rebenok, srok)) return false;
    }
    return true;
}

} // namespace

Derevo ProchestDerevo(const std::string& papka) {
    Derevo d;
    Sobrat(papka, "", d);
    return d;
}

std::string Raznica(const Derevo& a, const Derevo& b) {
    std::string s;
    int n = 0;
    for (const auto& [imja, soderzhimoe] : a) {
        const auto i = b.find(imja);
        if (i != b.end() && i->second == soderzhimoe) continue;
        if (++n <= 8) s += (s.empty() ? "" : ", ") + imja + (i == b.end() ? "" : " (differs)");
    }
    if (n > 8) s += " (+" + std::to_string(n - 8) + " more)";
    return s;
}

bool EstFajl(const std::string& put) {
    const DWORD a = GetFileAttributesA(put.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool EstPapka(const std::string& put) {
    const DWORD a = GetFileAttributesA(put.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string VWindows(std::string put) {
    for (char& c : put)
        if (c == '/') c = '\\';
    return "Z:" + put;
}

std::string StrokaReestra(HKEY koren, const std::string& kljuch, const char* imja, bool* est) {
    *est = false;
    Kljuch k(koren, kljuch);
    if (!k.h) return {};
    char b[2048] = {};
    DWORD tip = 0, n = sizeof b - 1;
    if (RegQueryValueExA(k.h, imja, nullptr, &tip, reinterpret_cast<BYTE*>(b), &n) !=
            ERROR_SUCCESS ||
        (tip != REG_SZ && tip != REG_EXPAND_SZ))
        return {};
    *est = true;
    return b;
}

DWORD ChisloReestra(HKEY koren, const std::string& kljuch, const char* imja, bool* est) {
    *est = false;
    Kljuch k(koren, kljuch);
    DWORD v = 0, tip = 0, n = sizeof v;
    if (k.h &&
        RegQueryValueExA(k.h, imja, nullptr, &tip, reinterpret_cast<BYTE*>(&v), &n) ==
            ERROR_SUCCESS &&
        tip == REG_DWORD)
        *est = true;
    return v;
}

bool EstKljuch(HKEY koren, const std::string& kljuch) {
    Kljuch k(koren, kljuch);
    return k.h != nullptr;
}

Jarlyk ProchestJarlyk(const std::string& lnk) {
    Jarlyk j;
    const HRESULT com = CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* fajl = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&fajl)))) {
            wchar_t w[MAX_PATH] = {};
            MultiByteToWideChar(CP_ACP, 0, lnk.c_str(), -1, w, MAX_PATH);
            if (SUCCEEDED(fajl->Load(w, STGM_READ))) {
                char b[MAX_PATH] = {};
                j.prochitan = SUCCEEDED(link->GetPath(b, MAX_PATH, nullptr, SLGP_RAWPATH));
                j.cel = b;
                b[0] = '\0';
                link->GetWorkingDirectory(b, MAX_PATH);
                j.papka = b;
                b[0] = '\0';
                link->GetArguments(b, MAX_PATH);
                j.argumenty = b;
            }
            fajl->Release();
        }
        link->Release();
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return j;
}

std::string PapkaOboloch(int csidl) {
    char b[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, b))) return {};
    return b;
}

Versija ProchestVersiju(const std::string& fajl) {
    Versija v;
    DWORD nenuzhno = 0;
    const DWORD n = GetFileVersionInfoSizeA(fajl.c_str(), &nenuzhno);
    if (n == 0) return v;
    std::vector<char> b(n);
    if (!GetFileVersionInfoA(fajl.c_str(), 0, n, b.data())) return v;
    VS_FIXEDFILEINFO* f = nullptr;
    UINT dlina = 0;
    if (!VerQueryValueA(b.data(), "\\", reinterpret_cast<void**>(&f), &dlina) || !f) return v;
    v.est = true;
    v.chasti[0] = HIWORD(f->dwFileVersionMS);
    v.chasti[1] = LOWORD(f->dwFileVersionMS);
    v.chasti[2] = HIWORD(f->dwFileVersionLS);
    v.chasti[3] = LOWORD(f->dwFileVersionLS);
    struct Perevod {
        WORD jazyk, kodirovka;
    }* p = nullptr;
    if (!VerQueryValueA(b.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&p),
                        &dlina) ||
        dlina < sizeof(Perevod))
        return v;
    for (const char* imja : {"ProductName", "ProductVersion", "FileVersion", "FileDescription",
                             "CompanyName", "OriginalFilename"}) {
        char put[96];
        wsprintfA(put, "\\StringFileInfo\\%04x%04x\\%s", p->jazyk, p->kodirovka, imja);
        char* s = nullptr;
        if (VerQueryValueA(b.data(), put, reinterpret_cast<void**>(&s), &dlina) && s)
            v.stroki[imja] = s;
    }
    return v;
}

DWORD Vypolnit(const std::string& komanda, DWORD ms) {
    const DWORD srok = GetTickCount() + ms;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::vector<char> stroka(komanda.begin(), komanda.end());
    stroka.push_back('\0');
    if (!CreateProcessA(nullptr, stroka.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return ZY_NE_ZAPUSK;
    DWORD kod = ZY_NE_KONEC;
    if (WaitForSingleObject(pi.hProcess, ms) == WAIT_OBJECT_0) {
        GetExitCodeProcess(pi.hProcess, &kod);
        if (!DozhdatsjaPotomkov(pi.dwProcessId, srok)) kod = ZY_NE_KONEC;
    } else {
        TerminateProcess(pi.hProcess, ZY_NE_KONEC);
        WaitForSingleObject(pi.hProcess, 10000);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return kod;
}

} // namespace paket
