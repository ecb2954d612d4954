// Scratch folders of the tests.
#include "ZyTestPapki.h"

#include <windows.h>

namespace zytest {

void UdalitDerevo(const std::string& put) {
    WIN32_FIND_DATAA d;
    HANDLE h = FindFirstFileA((put + "\\*").c_str(), &d);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::string imja = d.cFileName;
            if (imja == "." || imja == "..") continue;
            const std::string polnoe = put + "\\" + imja;
            if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                UdalitDerevo(polnoe);
            } else {
                SetFileAttributesA(polnoe.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(polnoe.c_str());
            }
        } while (FindNextFileA(h, &d));
        FindClose(h);
    }
    RemoveDirectoryA(put.c_str());
}

std::string TekushchajaPapka() {
    char b[MAX_PATH] = {};
    const DWORD n = GetCurrentDirectoryA(MAX_PATH, b);
    std::string s(b, n < MAX_PATH ? n : 0);
    if (!s.empty() && s.back() == '\\') s.pop_back();
    return s;
}

std::string PapkaProgrammy() {
    char b[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, b, sizeof b);
    const std::string s = b;
    return s.substr(0, s.find_last_of('\\'));
}

ZyPapkaTesta::ZyPapkaTesta() : prezhnjaja_(TekushchajaPapka()) {
    const testing::TestInfo* t = testing::UnitTest::GetInstance()->current_test_info();
    papka_ = prezhnjaja_ + "\\" + t->test_suite_name() + "." + t->name();
    UdalitDerevo(papka_);
    CreateDirectoryA(papka_.c_str(), nullptr);
    SetCurrentDirectoryA(papka_.c_str());
}

ZyPapkaTesta::~ZyPapkaTesta() {
    SetCurrentDirectoryA(prezhnjaja_.c_str());
}

} // namespace zytest
