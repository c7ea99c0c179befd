#pragma once

#include "search/ReadDropList.h"

#include <QObject>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

// Reads a drop list file on a thread of its own, so that the window stays responsive through a
// file of gigabytes. The rows gather here until the window takes them, in the window's thread,
// when rowsAvailable says there are some.
class DropListImport : public QObject {
    Q_OBJECT
public:
    explicit DropListImport(QObject* parent = nullptr);
    // Cancels a reading still running and waits for its thread.
    ~DropListImport() override;

    // False while a reading runs. The form is told by the file's name unless given.
    bool start(const QString& path, const NameCriteria& criteria, const QDate& today);
    bool start(const QString& path, DropListForm form, const NameCriteria& criteria,
               const QDate& today);
    // The reading stops after the piece being read; the rows read so far stay.
    void cancel();
    bool isRunning() const { return m_running; }

    std::vector<ResultRow> takeRows();
    // How the last reading ended; valid once finished() has come.
    const DropListOutcome& outcome() const { return m_outcome; }

signals:
    void rowsAvailable();
    void progress(qint64 done, qint64 total);
    void finished();

private:
    void join();

    std::thread m_thread;
    std::atomic<bool> m_cancel{false};
    bool m_running = false;
    std::mutex m_mutex;
    std::vector<ResultRow> m_rows; // guarded by m_mutex
    bool m_announced = false;      // guarded by m_mutex: a rowsAvailable is on its way
    DropListOutcome m_outcome;
};
