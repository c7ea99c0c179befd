#pragma once

#include <QStringList>
#include <QWidget>

#include <memory>

class QSortFilterProxyModel;
class QTableView;
class WatchListModel;
class WatchMonitor;
class WatchStore;

namespace Ui {
class WatchListWindow;
}

// The watch list's own window, beside the main window and not modal. Closing it only hides it:
// the watch goes on, and the program does not end with it. Its columns (widths, sorting) are
// kept in the settings file between runs.
class WatchListWindow : public QWidget {
    Q_OBJECT
public:
    // The program's settings file.
    static QString defaultSettingsPath();

    // Monitor and store must outlive the window. An empty settingsPath keeps nothing.
    WatchListWindow(WatchMonitor& monitor, WatchStore& store,
                    QString settingsPath = defaultSettingsPath(), QWidget* parent = nullptr);
    ~WatchListWindow() override;

    WatchListModel& model() const { return *m_model; }
    QTableView* view() const;

    // The selected names, in the view's order.
    QStringList selectedNames() const;
    // Selects the watched name's row, makes it current and brings it into view; nothing when
    // the name is not watched.
    void selectDomain(const QString& domain);

public Q_SLOTS:
    void showAndRaise();
    void checkSelectedNow();
    void removeSelected();
    // Watches the names of the text, one a line, with no date; returns how many were new.
    int addNames(const QString& text);
    // Writes the list as the view shows it to a CSV file; returns an error text, empty on
    // success.
    QString exportTo(const QString& path);

    // The buttons' dialogs around the calls above.
    void askForNames();
    void chooseFileAndExport();

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void setUpView();
    // Model rows in the view's order.
    QList<int> rowsAsShown() const;
    void updateButtons();
    void applyInterval(int seconds);
    void saveColumns() const;
    void restoreColumns();
    void noteTopRow(int first, int last);
    void keepTopRow();

    WatchMonitor& m_monitor;
    QString m_settingsPath;
    std::unique_ptr<Ui::WatchListWindow> m_ui;
    WatchListModel* m_model;
    QSortFilterProxyModel* m_sorted;
    // Where the first row in view should be once the rows being removed are gone.
    int m_topRowAfterRemoval = -1;
};
