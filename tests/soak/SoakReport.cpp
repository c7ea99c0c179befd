#include "SoakReport.h"

#include <cstdio>

namespace {

constexpr size_t kFindingsShown = 12;

void printLine(const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

void SoakReport::section(const std::string& title) {
    printLine("");
    printLine("== " + title);
}

void SoakReport::note(const std::string& line) {
    printLine("   " + line);
}

void SoakReport::check(const std::string& name, bool passed, const std::string& detail) {
    ++(passed ? m_passed : m_failed);
    printLine((passed ? "ok   " : "FAIL ") + name + (detail.empty() ? "" : ": " + detail));
}

void SoakReport::check(const std::string& name, const Findings& findings) {
    if (findings.empty()) {
        check(name, true);
        return;
    }
    check(name, false, std::to_string(findings.size()) + " finding(s)");
    for (size_t i = 0; i < findings.size() && i < kFindingsShown; ++i)
        printLine("       " + findings[i]);
    if (findings.size() > kFindingsShown)
        printLine("       ... and " + std::to_string(findings.size() - kFindingsShown) + " more");
}

void SoakReport::printTotals() const {
    printLine("");
    printLine(std::to_string(m_passed) + " passed, " + std::to_string(m_failed) + " failed");
}
