#pragma once

#include <QAbstractTableModel>
#include <QByteArray>
#include <QHash>
#include <QStringList>

class WatchMonitor;
class WatchStore;
struct WatchEntry;

// The watched names as a table, one row per name in the monitor's order. It follows the
// monitor's signals and reads the entries from it; only the tooltips read the store.
class WatchListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Domain, DeletionDate, State, LastCheck, NextCheck, CheckCount, ColumnCount };
    // How many checks a state's tooltip lists.
    static constexpr int kChecksInTip = 5;

    // Monitor and store must outlive the model.
    WatchListModel(const WatchMonitor& monitor, WatchStore& store, QObject* parent = nullptr);

    static QString header(Column column);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    QString domainAt(int row) const;
    QString text(int row, Column column) const;
    // Every row as shown, under the column headers, by the result list's CSV rules.
    QByteArray asCsv() const;

private:
    void followChange(const QString& domain);
    void followReset();
    void takeNewRows();
    const WatchEntry* entryAt(int row) const;
    QString stateTip(int row) const;

    const WatchMonitor& m_monitor;
    WatchStore& m_store;
    // The names the views know, in row order: the monitor's list has already changed when its
    // signal comes, so the rows to insert or reset are found by comparing with these.
    QStringList m_domains;
    QHash<QString, int> m_rowOf;
};
