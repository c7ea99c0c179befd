#pragma once

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

#include <map>

class RegistryLookup;
class ResultListModel;
struct RegistryResult;

// Asks the registries about rows of the result list in the background and marks each row with
// its answer. The list can change meanwhile (a search adds rows, the filter removes some): an
// answer finds its row by the name asked, and one whose name is gone is dropped. Emptying the
// list cancels what is waiting.
class RegistryCheckRunner : public QObject {
    Q_OBJECT
public:
    RegistryCheckRunner(ResultListModel& rows, RegistryLookup& lookup, QObject* parent = nullptr);
    ~RegistryCheckRunner() override;

    // Asks about the rows' names; a name already waiting is not asked twice.
    void ask(const QList<int>& rows);
    // Drops every question still waiting; their answers never land.
    void cancel();
    int waitingCount() const { return static_cast<int>(m_pending.size()); }

signals:
    // done of total since the list of questions was last empty; 0 of 0 once nothing waits.
    void progressed(int done, int total);

private:
    struct Pending {
        QString name;
        int row; // where the name was when asked: tried first
        quint64 lookupId = 0;
    };

    void answered(quint64 ticket, const RegistryResult& result);
    void mark(const Pending& pending, const RegistryResult& result);
    void reportProgress();

    ResultListModel& m_rows;
    RegistryLookup& m_lookup;
    std::map<quint64, Pending> m_pending; // by ticket
    quint64 m_nextTicket = 1;
    QSet<QString> m_waitingNames;
    int m_done = 0;
    int m_total = 0;
};
