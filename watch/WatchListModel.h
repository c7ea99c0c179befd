#pragma once

#include <QAbstractTableModel>
#include <QByteArray>
#include <QHash>
#include <QStringList>

#include <optional>

class WatchMonitor;
class WatchStore;
struct WatchEntry;

// The watched names as a table, one row per name in the monitor's order. It follows the
// monitor's signals and reads the entries from it; only the tooltips read the store.
class WatchListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        Domain,
        DeletionDate,
        State,
        LastCheck,
        NextCheck,
        CheckCount,
        Registry,
        ColumnCount
    };
    // How many checks a state's tooltip lists.
    static constexpr int kChecksInTip = 5;
    // What a sorting view compares: dates and times as numbers, the state by its place in a
    // name's life, the count as a number, the registry's word from not held to held; empty cells
    // give no value.
    static constexpr int SortRole = Qt::UserRole;

    // Monitor and store must outlive the model.
    WatchListModel(const WatchMonitor& monitor, WatchStore& store, QObject* parent = nullptr);

    static QString header(Column column);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    QString domainAt(int row) const;
    // -1 when the name is not watched.
    int rowOf(const QString& domain) const;
    QString text(int row, Column column) const;
    QVariant sortKey(int row, Column column) const;
    // Every row as shown, under the column headers, by the result list's CSV rules.
    QByteArray asCsv() const;
    // The given rows, in the given order.
    QByteArray asCsv(const QList<int>& rows) const;

private:
    void followChange(const QString& domain);
    void followReset();
    bool followRemovals(const QList<WatchEntry>& entries);
    void takeNewRows();
    void indexRows();
    const WatchEntry* entryAt(int row) const;
    QString stateTip(int row) const;
    QString registryTip(int row) const;
    // When the name is expected to drop and who said so; empty while nothing tells.
    QString dropTip(int row) const;

    const WatchMonitor& m_monitor;
    WatchStore& m_store;
    // The names the views know, in row order: the monitor's list has already changed when its
    // signal comes, so the rows to insert or reset are found by comparing with these.
    QStringList m_domains;
    QHash<QString, int> m_rowOf;

    // While removed rows are announced, range by range from the last: the rows before cut are
    // still the old list's, those after it are the remaining names from remainingFrom on.
    struct Removal {
        QStringList remaining;
        qsizetype cut = 0;
        qsizetype remainingFrom = 0;
    };
    std::optional<Removal> m_removal;
};
