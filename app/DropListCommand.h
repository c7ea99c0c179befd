#pragma once

#include "search/DropListImport.h"
#include "web/FileDownload.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <QTemporaryFile>
#include <QUrl>

#include <memory>

class ResultListModel;
class StatusLine;

// Reads a drop list into the result list while the window goes on: the matching rows are
// appended as they come, numbered after the rows already listed, and a name already listed is
// not added again. The end is told on the status line as a search tells it. A list on the web is
// downloaded to a temporary file first, then read as a file is.
class DropListCommand : public QObject {
    Q_OBJECT
public:
    DropListCommand(ResultListModel& rows, StatusLine& status, QObject* parent = nullptr);

    // False while a reading or a download runs.
    bool start(const QString& path, const NameCriteria& criteria, const QDate& today);
    // The address must be a valid http or https address.
    bool startFromAddress(const QUrl& address, const NameCriteria& criteria, const QDate& today);
    // Stops a download at once, a reading after the piece being read; the rows appended so far
    // stay.
    void cancel();
    bool isRunning() const { return m_import.isRunning() || m_download.isRunning(); }
    // The reading underneath, for whoever wants its own signals.
    DropListImport& reading() { return m_import; }

signals:
    // How far the reading has come, in thousandths of the whole.
    void progressed(int done, int total);
    // The reading has ended; problem is the user's message, empty when it went well.
    void finished(const QString& problem);

private:
    void beginListing();
    void reportBytes(qint64 done, qint64 total);
    void downloaded(const DownloadOutcome& outcome);
    void takeRows();
    void end();
    // Every way of ending: the status line, and the message for the user (empty when none).
    void conclude(QStringView status, const QString& problem);

    ResultListModel& m_rows;
    StatusLine& m_status;
    QSet<QString> m_listed;
    int m_added = 0;
    FileDownload m_download;
    std::unique_ptr<QTemporaryFile> m_downloadFile;
    QUrl m_address;
    NameCriteria m_criteria;
    QDate m_today;
    // Last, so that it is gone, its thread joined, before the rest.
    DropListImport m_import;
};
