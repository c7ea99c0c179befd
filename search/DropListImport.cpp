#include "search/DropListImport.h"

#include <QMetaObject>

DropListImport::DropListImport(QObject* parent) : QObject(parent) {}

DropListImport::~DropListImport() {
    cancel();
    join();
}

void DropListImport::join() {
    if (m_thread.joinable())
        m_thread.join();
}

bool DropListImport::start(const QString& path, const NameCriteria& criteria, const QDate& today) {
    return start(path, DropListFormOf(path), criteria, today);
}

bool DropListImport::start(const QString& path, DropListForm form, const NameCriteria& criteria,
                           const QDate& today) {
    if (m_running)
        return false;
    join();
    m_running = true;
    m_cancel = false;
    m_outcome = {};
    m_thread = std::thread([this, path, form, criteria, today] {
        DropListCallbacks callbacks;
        callbacks.cancel = &m_cancel;
        callbacks.rows = [this](std::vector<ResultRow>&& rows) {
            bool announce = false;
            {
                std::lock_guard lock(m_mutex);
                m_rows.insert(m_rows.end(), std::make_move_iterator(rows.begin()),
                              std::make_move_iterator(rows.end()));
                announce = !std::exchange(m_announced, true);
            }
            if (announce)
                emit rowsAvailable();
        };
        callbacks.progress = [this](qint64 done, qint64 total) { emit progress(done, total); };
        DropListOutcome outcome = ReadDropListFile(path, form, criteria, today, callbacks);
        // Hands the outcome to the object's own thread, where finished() is emitted.
        QMetaObject::invokeMethod(
            this,
            [this, outcome = std::move(outcome)]() mutable {
                join();
                m_outcome = std::move(outcome);
                m_running = false;
                emit finished();
            },
            Qt::QueuedConnection);
    });
    return true;
}

void DropListImport::cancel() {
    m_cancel = true;
}

std::vector<ResultRow> DropListImport::takeRows() {
    std::lock_guard lock(m_mutex);
    m_announced = false;
    return std::exchange(m_rows, {});
}
