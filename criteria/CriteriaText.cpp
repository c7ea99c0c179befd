#include "criteria/CriteriaText.h"

#include <QString>

#include <algorithm>
#include <charconv>

namespace {

std::string_view TrimBlanks(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string LowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

} // namespace

std::optional<int> ParseWholeNumber(std::string_view text) {
    text = TrimBlanks(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    int number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return number;
}

std::string NormaliseKeyword(std::string_view text) {
    return LowerAscii(TrimBlanks(text));
}

void SetLengthBounds(NameCriteria& criteria, std::string_view from, std::string_view to) {
    criteria.shortest = ParseWholeNumber(from);
    criteria.longest = ParseWholeNumber(to);
    if (criteria.shortest && criteria.longest && *criteria.shortest > *criteria.longest)
        std::swap(criteria.shortest, criteria.longest);
}

void AddSuffix(NameCriteria& criteria, std::string_view suffix) {
    std::string wanted = LowerAscii(TrimBlanks(suffix));
    if (!wanted.empty() && wanted.front() == '.')
        wanted.erase(0, 1);
    if (!wanted.empty() && std::find(criteria.suffixes.begin(), criteria.suffixes.end(), wanted) ==
                               criteria.suffixes.end())
        criteria.suffixes.push_back(std::move(wanted));
}

void SetDeletionDate(NameCriteria& criteria, std::string_view text) {
    text = TrimBlanks(text);
    criteria.date = DateChoice::All;
    criteria.day = QDate();
    if (text == "0") {
        criteria.date = DateChoice::TodayAndLater;
    } else if (text == "1") {
        criteria.date = DateChoice::BeforeToday;
    } else if (const QDate day = QDate::fromString(
                   QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
                   QStringLiteral("yyyy-MM-dd"));
               day.isValid()) {
        criteria.date = DateChoice::OneDay;
        criteria.day = day;
    }
}
