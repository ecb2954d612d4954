// Test helper: a fresh directory per test, made current for its length, and whole-file I/O.
#ifndef ZYTESTPAPKA_H
#define ZYTESTPAPKA_H

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace zytest {

// Reads a whole file; `est` tells whether it could be opened.
inline std::string ChitatFajl(const std::string& imja, bool* est = nullptr) {
    HANDLE f = CreateFileA(imja.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (est) *est = f != INVALID_HANDLE_VALUE;
    if (f == INVALID_HANDLE_VALUE) return std::string();
    std::string s;
    char buf[65536];
    DWORD n = 0;
    while (ReadFile(f, buf, sizeof buf, &n, nullptr) && n > 0)
        s.append(buf, n);
    CloseHandle(f);
    return s;
}

// Writes a whole file, replacing it.
inline bool ZapisatFajl(const std::string& imja, const std::string& dannye) {
    HANDLE f = CreateFileA(imja.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD n = 0;
    const bool ok =
        WriteFile(f, dannye.data(), DWORD(dannye.size()), &n, nullptr) && n == dannye.size();
    CloseHandle(f);
    return ok;
}

// Empties a directory of files and removes it (one level, as the tests make them).
inline void UdalitPapku(const std::string& papka) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((papka + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::string imja = fd.cFileName;
            if (imja == "." || imja == "..") continue;
            const std::string put = papka + "\\" + imja;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                UdalitPapku(put);
            else {
                SetFileAttributesA(put.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(put.c_str());
            }
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(papka.c_str());
}

// A directory named after the running test, emptied and made current; the previous current
// directory is restored at the end (the files stay for inspection until the next run).
class ZyPapkaTesta {
public:
    ZyPapkaTesta() {
        char byla[MAX_PATH] = {};
        GetCurrentDirectoryA(MAX_PATH, byla);
        prezhnjaja_ = byla;
        const testing::TestInfo* t = testing::UnitTest::GetInstance()->current_test_info();
        papka_ = prezhnjaja_ + "\\" + t->test_suite_name() + "." + t->name();
        UdalitPapku(papka_);
        CreateDirectoryA(papka_.c_str(), nullptr);
        SetCurrentDirectoryA(papka_.c_str());
    }
    ~ZyPapkaTesta() { SetCurrentDirectoryA(prezhnjaja_.c_str()); }
    ZyPapkaTesta(const ZyPapkaTesta&) = delete;
    ZyPapkaTesta& operator=(const ZyPapkaTesta&) = delete;

    const std::string& Put() const { return papka_; }

private:
    std::string prezhnjaja_;
    std::string papka_;
};

} // namespace zytest

#endif // ZYTESTPAPKA_H
