// Test helper: a page of named shared memory holding one record, through which a test and its
// helper processes exchange counts and results.
#ifndef ZYTESTSTRANICA_H
#define ZYTESTSTRANICA_H

#include <windows.h>

#include <cstring>

namespace zytest {

// The record T in the named section `imja`: created zero-filled by the test (sozdat), opened
// by the helpers; unmapped and closed with the object. False when it could not be had.
template <class T> class ObshchajaStranica {
public:
    ObshchajaStranica(const char* imja, bool sozdat) {
        h_ = sozdat ? CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                         sizeof(T), imja)
                    : OpenFileMappingA(FILE_MAP_WRITE, FALSE, imja);
        if (h_) p_ = static_cast<T*>(MapViewOfFile(h_, FILE_MAP_WRITE, 0, 0, sizeof(T)));
        if (p_ && sozdat) std::memset(static_cast<void*>(p_), 0, sizeof(T));
    }
    ~ObshchajaStranica() {
        if (p_) UnmapViewOfFile(p_);
        if (h_) CloseHandle(h_);
    }
    ObshchajaStranica(const ObshchajaStranica&) = delete;
    ObshchajaStranica& operator=(const ObshchajaStranica&) = delete;

    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    HANDLE h_ = nullptr;
    T* p_ = nullptr;
};

} // namespace zytest

#endif // ZYTESTSTRANICA_H
