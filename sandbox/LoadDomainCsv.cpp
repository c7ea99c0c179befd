#include "LoadDomainCsv.h"

#include "DomainNames.h"
#include "ListQuery.h"

#include <QDateTime>
#include <QString>

#include <filesystem>
#include <fstream>
#include <unordered_set>

namespace {

constexpr size_t kLongestLine = 4096;
constexpr std::uintmax_t kLargestCsvFile = 256 * 1024 * 1024;

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

std::string_view TrimField(std::string_view text) {
    text = TrimBlanks(text);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        text = text.substr(1, text.size() - 2);
    return text;
}

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t start = 0;
    while (true) {
        const size_t comma = line.find(',', start);
        fields.push_back(TrimField(line.substr(
            start, comma == std::string_view::npos ? std::string_view::npos : comma - start)));
        if (comma == std::string_view::npos)
            return fields;
        start = comma + 1;
    }
}

bool ReadTime(std::string_view text, DeletedDomain& domain) {
    const QString time = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    const QDateTime full = QDateTime::fromString(time, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (full.isValid()) {
        domain.deletionDate = full.date();
        domain.deletionSecond = full.time().msecsSinceStartOfDay() / 1000;
        return true;
    }
    domain.deletionDate = QDate::fromString(time, QStringLiteral("yyyy-MM-dd"));
    domain.deletionSecond = 0;
    return domain.deletionDate.isValid();
}

bool ReadType(std::string_view text, DeletionType& type) {
    QString word = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toLower();
    if (word.isEmpty() || word == u"delete") {
        type = DeletionType::Delete;
        return true;
    }
    if (word == u"pre-release" || word == u"prerelease") {
        type = DeletionType::PreRelease;
        return true;
    }
    return false;
}

// Fills the entry from one line; returns the reason when the line is not an entry.
std::string ReadEntry(std::string_view line, DeletedDomain& domain) {
    const std::vector<std::string_view> fields = SplitFields(line);
    if (fields.size() < 2 || fields.size() > 4)
        return "expected domain,deletion time[,type[,suggestion]]";
    const std::optional<std::string> name = NormaliseDomainName(fields[0]);
    const size_t dot = name ? name->find('.') : std::string::npos;
    if (!name || !IsPlainLabel(std::string_view(*name).substr(0, dot)))
        return "not a domain name of letters, digits and hyphens";
    domain.name = name->substr(0, dot);
    domain.suffix = name->substr(dot + 1);
    if (!ReadTime(fields[1], domain))
        return "the deletion time is not yyyy-MM-dd hh:mm:ss";
    if (fields.size() > 2 && !ReadType(fields[2], domain.type))
        return "the type is neither Delete nor Pre-Release";
    if (fields.size() > 3 && !fields[3].empty()) {
        const std::optional<int> suggestion = ParseWholeNumber(fields[3]);
        if (!suggestion || *suggestion < 0)
            return "the suggestion is not a whole number";
        domain.suggestion = *suggestion;
    }
    return {};
}

bool IsHeader(std::string_view line) {
    return line.size() >= 6 && QString::fromUtf8(line.data(), 6).toLower() == u"domain";
}

} // namespace

DomainCsv ReadDomainCsv(std::istream& in) {
    DomainCsv csv;
    std::unordered_set<std::string> seen;
    std::string line;
    size_t lineNumber = 0;
    const auto fail = [&](const std::string& reason) {
        csv.domains.clear();
        csv.error = "line " + std::to_string(lineNumber) + ": " + reason;
        return csv;
    };
    while (std::getline(in, line)) {
        ++lineNumber;
        if (line.size() > kLongestLine)
            return fail("longer than " + std::to_string(kLongestLine) + " bytes");
        std::string_view text = line;
        if (lineNumber == 1 && text.starts_with("\xEF\xBB\xBF"))
            text.remove_prefix(3);
        text = TrimBlanks(text);
        if (text.empty() || text.front() == '#' || (lineNumber == 1 && IsHeader(text)))
            continue;
        if (csv.domains.size() == kLargestCsvRowCount)
            return fail("more than " + std::to_string(kLargestCsvRowCount) + " entries");
        DeletedDomain domain;
        if (const std::string reason = ReadEntry(text, domain); !reason.empty())
            return fail(reason);
        if (!seen.insert(domain.fullName()).second)
            return fail(domain.fullName() + " is listed twice");
        csv.domains.push_back(std::move(domain));
    }
    if (in.bad())
        return fail("the file could not be read");
    return csv;
}

DomainCsv LoadDomainCsv(const std::string& path) {
    DomainCsv csv;
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error) {
        csv.error = "cannot open " + path + ": " + error.message();
        return csv;
    }
    if (size > kLargestCsvFile) {
        csv.error = path + " is larger than " + std::to_string(kLargestCsvFile) + " bytes";
        return csv;
    }
    std::ifstream in(path);
    if (!in) {
        csv.error = "cannot open " + path;
        return csv;
    }
    return ReadDomainCsv(in);
}
