#include "app/DropListCommand.h"

#include "app/DropListAddress.h"

#include "results/ResultListModel.h"
#include "results/StatusLine.h"

#include <QDir>

#include <algorithm>

namespace {

// The same words a search ends with.
constexpr QStringView kStarting = u"状态：开始读取域名列表...";
constexpr QStringView kFailed = u"状态：获取域名列表失败！";
constexpr QStringView kNothingFound = u"状态：未找到符合条件的域名。";
constexpr QStringView kFinished = u"状态：域名列表读取已完成。";

constexpr int kProgressSteps = 1000;

// Kept in the system's temporary folder, removed when the reading ends.
const QString kDownloadName = QStringLiteral("morrowcatch-drop-list-XXXXXX");

} // namespace

DropListCommand::DropListCommand(ResultListModel& rows, StatusLine& status, QObject* parent)
    : QObject(parent), m_rows(rows), m_status(status) {
    connect(&m_import, &DropListImport::rowsAvailable, this, &DropListCommand::takeRows);
    connect(&m_import, &DropListImport::finished, this, &DropListCommand::end);
    connect(&m_download, &FileDownload::finished, this, &DropListCommand::downloaded);
    connect(&m_download, &FileDownload::progress, this, &DropListCommand::reportBytes);
    connect(&m_import, &DropListImport::progress, this, &DropListCommand::reportBytes);
}

void DropListCommand::reportBytes(qint64 done, qint64 total) {
    // Bytes can run to gigabytes, beyond what a progress bar counts.
    if (total > 0)
        emit progressed(static_cast<int>(std::min(done, total) * kProgressSteps / total),
                        kProgressSteps);
}

bool DropListCommand::start(const QString& path, const NameCriteria& criteria, const QDate& today) {
    if (isRunning())
        return false;
    beginListing();
    return m_import.start(path, criteria, today);
}

bool DropListCommand::startFromAddress(const QUrl& address, const NameCriteria& criteria,
                                       const QDate& today) {
    if (isRunning() || !address.isValid())
        return false;
    auto file = std::make_unique<QTemporaryFile>(QDir::temp().filePath(kDownloadName));
    if (!file->open()) {
        // Ends as a started command does, after the caller has taken the start.
        QMetaObject::invokeMethod(
            this,
            [this] { conclude(kFailed, QStringLiteral("下载删除列表失败：无法创建临时文件。")); },
            Qt::QueuedConnection);
        return true;
    }
    beginListing();
    m_downloadFile = std::move(file);
    m_address = address;
    m_criteria = criteria;
    m_today = today;
    m_download.start(address.toString(QUrl::FullyEncoded), *m_downloadFile);
    return true;
}

void DropListCommand::cancel() {
    if (m_download.isRunning()) {
        // Nothing was read yet, so nothing was found.
        m_download.abort();
        conclude(kNothingFound, {});
        return;
    }
    m_import.cancel();
}

void DropListCommand::beginListing() {
    m_listed.clear();
    m_listed.reserve(m_rows.count());
    for (int row = 0; row < m_rows.count(); ++row)
        m_listed.insert(m_rows.cell(row, ResultListModel::Domain).toLower());
    m_added = 0;
    m_status.setText(kStarting.toString());
}

void DropListCommand::downloaded(const DownloadOutcome& outcome) {
    if (outcome.kind != DownloadOutcome::Kind::Done || !m_downloadFile->flush()) {
        DownloadOutcome told = outcome;
        if (told.kind == DownloadOutcome::Kind::Done)
            told.kind = DownloadOutcome::Kind::WriteFailed;
        conclude(kFailed, DownloadProblemText(told));
        return;
    }
    // Read through the file's own name; the temporary file stays until the reading ends.
    m_import.start(m_downloadFile->fileName(),
                   DropListFormOfDownload(m_address, outcome.contentType), m_criteria, m_today);
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
    const DropListOutcome& outcome = m_import.outcome();
    conclude(m_added > 0                  ? kFinished
             : !outcome.problem.isEmpty() ? kFailed
                                          : kNothingFound,
             outcome.problem);
}

void DropListCommand::conclude(QStringView status, const QString& problem) {
    m_listed.clear();
    m_downloadFile.reset();
    m_status.setText(status.toString());
    emit finished(problem);
}
