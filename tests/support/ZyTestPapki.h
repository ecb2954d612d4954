// Test helper: scratch folders (a fresh one per test, made current for its length), removal of
// folder trees, and the folders a test program runs in.
#ifndef ZYTESTPAPKI_H
#define ZYTESTPAPKI_H

#include <gtest/gtest.h>

#include <string>

namespace zytest {

// Deletes a folder tree, hidden and read-only files included.
void UdalitDerevo(const std::string& put);

// The current folder, without a trailing "\".
std::string TekushchajaPapka();

// The folder of the running program (where the libraries and the test modules are).
std::string PapkaProgrammy();

// A folder named after the running test, emptied and made current; the previous current folder
// is restored at the end (the files stay for inspection until the next run).
class ZyPapkaTesta {
public:
    ZyPapkaTesta();
    ~ZyPapkaTesta();
    ZyPapkaTesta(const ZyPapkaTesta&) = delete;
    ZyPapkaTesta& operator=(const ZyPapkaTesta&) = delete;

    const std::string& Put() const { return papka_; }

private:
    std::string prezhnjaja_;
    std::string papka_;
};

// A fixture whose every test runs in a scratch folder of its own.
class VPapkeTesta : public testing::Test {
protected:
    ZyPapkaTesta papka_;
};

} // namespace zytest

#endif // ZYTESTPAPKI_H
