#include "app/DropListCommand.h"

#include "results/ResultListModel.h"
#include "results/StatusLine.h"

#include <algorithm>

namespace {

// The same words a search ends with.
constexpr QStringView kStarting = u"状态：开始读取域名列表...";
constexpr QStringView kFailed = u"状态：获取域名列表失败！";
constexpr QStringView kNothingFound = u"状态：未找到符合条件的域名。";
constexpr QStringView kFinished = u"状态：域名列表读取已完成。";

constexpr int kProgressSteps = 1000;

} // namespace

DropListCommand::DropListCommand(ResultListModel& rows, StatusLine& status, QObject* parent)
    : QObject(parent), m_rows(rows), m_status(status) {
    connect(&m_import, &DropListImport::rowsAvailable, this, &DropListCommand::takeRows);
    connect(&m_import, &DropListImport::finished, this, &DropListCommand::end);
    // Bytes can run to gigabytes, beyond what a progress bar counts.
    connect(&m_import, &DropListImport::progress, this, [this](qint64 done, qint64 total) {
        if (total > 0)
            emit progressed(static_cast<int>(std::min(done, total) * kProgressSteps / total),
                            kProgressSteps);
    });
}

bool DropListCommand::start(const QString& path, const NameCriteria& criteria, const QDate& today) {
    if (m_import.isRunning())
        return false;
    m_listed.clear();
    m_listed.reserve(m_rows.count());
    for (int row = 0; row < m_rows.count(); ++row)
        m_listed.insert(m_rows.cell(row, ResultListModel::Domain).toLower());
    m_added = 0;
    m_status.setText(kStarting.toString());
    return m_import.start(path, criteria, today);
}

void DropListCommand::takeRows() {
    std::vector<ResultRow> rows = m_import.takeRows();
    std::vector<ResultRow> fresh;
    fresh.reserve(rows.size());
    for (ResultRow& row : rows) {
        QString& name = row.cells[ResultListModel::Domain];
        if (!m_listed.contains(name.toLower())) {
            m_listed.insert(name.toLower());
            row.cells[ResultListModel::Number] =
                QString::number(m_rows.count() + static_cast<int>(fresh.size()) + 1);
            fresh.push_back(std::move(row));
        }
    }
    m_added += static_cast<int>(fresh.size());
    if (!fresh.empty())
        m_rows.appendRows(std::move(fresh));
}

void DropListCommand::end() {
    // Rows announced just before the end may not have been taken yet.
    takeRows();
    m_listed.clear();
    const DropListOutcome& outcome = m_import.outcome();
    if (m_added > 0)
        m_status.setText(kFinished.toString());
    else if (!outcome.problem.isEmpty())
        m_status.setText(kFailed.toString());
    else
        m_status.setText(kNothingFound.toString());
    emit finished(outcome.problem);
}
