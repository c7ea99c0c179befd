#pragma once

#include <string>
#include <vector>

// What went wrong, one line each; empty when all is well.
using Findings = std::vector<std::string>;

// Prints the soak's notes and checks as they come, and counts the checks.
class SoakReport {
public:
    void section(const std::string& title);
    void note(const std::string& line);
    void check(const std::string& name, bool passed, const std::string& detail = {});
    // Passes when there are no findings; prints the first few otherwise.
    void check(const std::string& name, const Findings& findings);

    int passed() const { return m_passed; }
    int failed() const { return m_failed; }
    // The closing line: "N passed, M failed".
    void printTotals() const;

private:
    int m_passed = 0;
    int m_failed = 0;
};
