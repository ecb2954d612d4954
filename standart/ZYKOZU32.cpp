// ZYKOZU32: a byte buffer that owns its bytes.
#include "ZyStandart.h"

// Reserves and fills, or stays empty.
ZYKOZU32::ZYKOZU32(unsigned long razmer, unsigned long obrazec) : dannye(nullptr), razmer(0) {
    if (razmer == 0) return;
    void* blok = nullptr;
    if (!ZyZabronirovatOZU(&blok, razmer, "ZYKOZU32::ZYKOZU32")) return;
    dannye = static_cast<char*>(blok);
    this->razmer = razmer;
    ZyNachislitOZU(dannye, razmer, obrazec);
}

// A copy with bytes of its own.
ZYKOZU32::ZYKOZU32(const ZYKOZU32& other) : dannye(nullptr), razmer(0) {
    *this = other;
}

ZYKOZU32::~ZYKOZU32() {
    DES();
}

// Releases the own bytes, then copies the other's (a self-assignment changes nothing).
ZYKOZU32& ZYKOZU32::operator=(const ZYKOZU32& other) {
    if (&other == this) return *this;
    DES();
    if (other.razmer == 0 || !other.dannye) return *this;
    void* blok = nullptr;
    if (!ZyZabronirovatOZU(&blok, other.razmer, "ZYKOZU32::operator =(ZYKOZU32)")) return *this;
    dannye = static_cast<char*>(blok);
    razmer = other.razmer;
    ZySdvinutOZU(dannye, other.dannye, razmer);
    return *this;
}

// New bytes, all zero.
ZYKOZU32& ZYKOZU32::operator=(unsigned long razmer) {
    DES();
    void* blok = nullptr;
    if (!ZyZabronirovatOZU(&blok, razmer, "ZYKOZU32::operator =(DWORD)")) return *this;
    dannye = static_cast<char*>(blok);
    this->razmer = razmer;
    ZyNachislitOZU(dannye, razmer, 0);
    return *this;
}

// Byte i, or 0xFF outside the buffer.
char ZYKOZU32::operator[](unsigned long i) const {
    if (i >= razmer || !dannye) return char(0xFF);
    return dannye[i];
}

// Fills the whole buffer with the pattern.
void ZYKOZU32::operator()(unsigned long obrazec) {
    if (dannye) ZyNachislitOZU(dannye, razmer, obrazec);
}

// New bytes filled with the pattern.
void ZYKOZU32::RZ(unsigned long razmer, unsigned long obrazec) {
    DES();
    void* blok = nullptr;
    if (!ZyZabronirovatOZU(&blok, razmer, "ZYKOZU32::RZ")) return;
    dannye = static_cast<char*>(blok);
    this->razmer = razmer;
    ZyNachislitOZU(dannye, razmer, obrazec);
}

// Releases the bytes and empties the buffer.
void ZYKOZU32::DES() {
    if (dannye) HeapFree(GetProcessHeap(), 0, dannye);
    dannye = nullptr;
    razmer = 0;
}
