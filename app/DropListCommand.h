#pragma once

#include "search/DropListImport.h"

#include <QObject>
#include <QSet>
#include <QString>

class ResultListModel;
class StatusLine;

// Reads a drop list into the result list while the window goes on: the matching rows are
// appended as they come, numbered after the rows already listed, and a name already listed is
// not added again. The end is told on the status line as a search tells it.
class DropListCommand : public QObject {
    Q_OBJECT
public:
    DropListCommand(ResultListModel& rows, StatusLine& status, QObject* parent = nullptr);

    // False while a reading runs.
    bool start(const QString& path, const NameCriteria& criteria, const QDate& today);
    // Stops after the piece being read; the rows appended so far stay.
    void cancel() { m_import.cancel(); }
    bool isRunning() const { return m_import.isRunning(); }
    // The reading underneath, for whoever wants its own signals.
    DropListImport& reading() { return m_import; }

signals:
    // How far the reading has come, in thousandths of the whole.
    void progressed(int done, int total);
    // The reading has ended; problem is the user's message, empty when it went well.
    void finished(const QString& problem);

private:
    void takeRows();
    void end();

    ResultListModel& m_rows;
    StatusLine& m_status;
    QSet<QString> m_listed;
    int m_added = 0;
    // Last, so that it is gone, its thread joined, before the rest.
    DropListImport m_import;
};
