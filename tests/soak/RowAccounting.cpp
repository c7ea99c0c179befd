#include "RowAccounting.h"

#include "support/UserTexts.h"

namespace {

using Column = ResultListModel::Column;

std::string Text(const QString& text) {
    return '"' + text.toStdString() + '"';
}

std::string RowName(size_t position) {
    return "row " + std::to_string(position + 1);
}

QString DomainOf(const ResultRow& row) {
    return row.cells[ResultListModel::Domain];
}

// A cell as the list shows it.
const QString& CellText(const ResultRow& row, int column) {
    return column == ResultListModel::Verdict ? ResultListModel::verdictText(row.verdict)
                                              : row.cells[static_cast<size_t>(column)];
}

void CompareCells(const ResultRow& actual, const ResultRow& expected, size_t position,
                  int firstColumn, int lastColumn, Findings& findings) {
    for (int column = firstColumn; column <= lastColumn; ++column) {
        const QString& got = CellText(actual, column);
        const QString& wanted = CellText(expected, column);
        if (got != wanted)
            findings.push_back(RowName(position) + " " +
                               ResultListModel::header(static_cast<Column>(column)).toStdString() +
                               " " + Text(got) + ", expected " + Text(wanted));
    }
}

} // namespace

std::vector<ResultRow> Snapshot(const ResultListModel& rows) {
    std::vector<ResultRow> copy;
    copy.reserve(static_cast<size_t>(rows.count()));
    for (int i = 0; i < rows.count(); ++i)
        copy.push_back(rows.row(i));
    return copy;
}

Findings AccountRows(const std::vector<ResultRow>& actual, const std::vector<ResultRow>& expected) {
    Findings findings;
    if (actual.size() != expected.size())
        findings.push_back(std::to_string(actual.size()) + " rows, expected " +
                           std::to_string(expected.size()));

    QHash<QString, size_t> expectedAt;
    for (size_t i = 0; i < expected.size(); ++i)
        expectedAt.insert(DomainOf(expected[i]), i);
    QHash<QString, size_t> seenAt;
    size_t lastExpectedAt = 0;
    bool anyBefore = false;
    for (size_t i = 0; i < actual.size(); ++i) {
        const QString name = DomainOf(actual[i]);
        const QString number = actual[i].cells[ResultListModel::Number];
        if (number != QString::number(i + 1))
            findings.push_back(RowName(i) + " is numbered " + Text(number));
        if (const auto seen = seenAt.constFind(name); seen != seenAt.cend()) {
            findings.push_back(RowName(i) + " repeats " + Text(name) + " of " +
                               RowName(seen.value()));
            continue;
        }
        seenAt.insert(name, i);
        const auto wanted = expectedAt.constFind(name);
        if (wanted == expectedAt.cend()) {
            findings.push_back(RowName(i) + " " + Text(name) +
                               " is on no page that was answered properly");
            continue;
        }
        if (anyBefore && wanted.value() <= lastExpectedAt)
            findings.push_back(RowName(i) + " " + Text(name) + " stands out of order");
        lastExpectedAt = wanted.value();
        anyBefore = true;
        CompareCells(actual[i], expected[wanted.value()], i, ResultListModel::Domain,
                     ResultListModel::Verdict, findings);
        if (actual[i].subdued != expected[wanted.value()].subdued)
            findings.push_back(RowName(i) + " subdued flag differs");
    }
    for (size_t i = 0; i < expected.size(); ++i) {
        if (!seenAt.contains(DomainOf(expected[i])))
            findings.push_back("lost " + Text(DomainOf(expected[i])) + ", expected as " +
                               RowName(i));
    }
    return findings;
}

Findings AccountVerdicts(const std::vector<ResultRow>& before, const std::vector<ResultRow>& after,
                         const QHash<QString, QuestionFate>& fates) {
    Findings findings;
    if (after.size() != before.size())
        findings.push_back(std::to_string(after.size()) + " rows after the check, " +
                           std::to_string(before.size()) + " before");
    QHash<QString, bool> listed;
    const size_t common = std::min(before.size(), after.size());
    for (size_t i = 0; i < common; ++i) {
        const ResultRow& was = before[i];
        const ResultRow& is = after[i];
        const QString name = DomainOf(was);
        listed.insert(name, true);
        if (DomainOf(is) != name) {
            findings.push_back(RowName(i) + " holds " + Text(DomainOf(is)) + ", was " + Text(name));
            continue;
        }
        CompareCells(is, was, i, ResultListModel::Number, ResultListModel::Suggestion, findings);

        const QuestionFate fate = fates.value(name);
        if (fate.asked != 1) {
            findings.push_back(RowName(i) + " " + Text(name) + " asked about " +
                               std::to_string(fate.asked) + " times");
            continue;
        }
        const QString verdict = CellText(is, ResultListModel::Verdict);
        if (fate.failed) {
            if (is.verdict != was.verdict || is.subdued != was.subdued)
                findings.push_back(RowName(i) + " " + Text(name) + " has " + Text(verdict) +
                                   " although its question failed");
            continue;
        }
        const QString wanted = fate.registered ? UserTexts::kRegistered : UserTexts::kFree;
        if (verdict != wanted)
            findings.push_back(RowName(i) + " " + Text(name) + " has " + Text(verdict) +
                               ", the service said " + Text(wanted));
        else if (is.subdued != (fate.registered || was.subdued))
            findings.push_back(RowName(i) + " " + Text(name) + " subdued flag " +
                               (is.subdued ? "set" : "not set") + " for " + Text(verdict));
    }
    for (auto fate = fates.cbegin(); fate != fates.cend(); ++fate) {
        if (!listed.contains(fate.key()))
            findings.push_back("asked about " + Text(fate.key()) + ", which no row held");
    }
    return findings;
}

long EstimatedRowsKiB(const std::vector<ResultRow>& rows) {
    // Header, terminator, malloc's own word and its rounding to 16 bytes.
    const auto textBytes = [](const QString& text) -> size_t {
        return text.isEmpty() ? 0 : 48 + 2 * static_cast<size_t>(text.size());
    };
    size_t bytes = 0;
    for (const ResultRow& row : rows) {
        bytes += 2 * sizeof(ResultRow);
        for (const QString& cell : row.cells)
            bytes += textBytes(cell);
    }
    return static_cast<long>((bytes + 1023) / 1024);
}
