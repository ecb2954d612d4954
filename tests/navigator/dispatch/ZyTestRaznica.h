// Helper of the dispatch tests: two journals side by side for a failure message.
#ifndef ZYTESTRAZNICA_H
#define ZYTESTRAZNICA_H

#include <string>
#include <vector>

// Both sequences, one entry a line.
inline std::string Raznica(const std::vector<std::string>& ozhidaem,
                           const std::vector<std::string>& est) {
    std::string s = "expected:\n";
    for (const auto& z : ozhidaem)
        s += "  " + z + "\n";
    s += "actual:\n";
    for (const auto& z : est)
        s += "  " + z + "\n";
    return s;
}

#endif // ZYTESTRAZNICA_H
