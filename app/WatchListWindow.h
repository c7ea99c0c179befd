#pragma once

#include <QStringList>
#include <QWidget>

class QHBoxLayout;
class QPushButton;
class QSpinBox;
class QTableView;
class WatchListModel;
class WatchMonitor;
class WatchStore;

// The watch list's own window, beside the main window and not modal. Closing it only hides it:
// the watch goes on, and the program does not end with it.
class WatchListWindow : public QWidget {
    Q_OBJECT
public:
    // Monitor and store must outlive the window.
    WatchListWindow(WatchMonitor& monitor, WatchStore& store, QWidget* parent = nullptr);

    WatchListModel& model() const { return *m_model; }
    QTableView* view() const { return m_view; }

    // The selected names, in list order.
    QStringList selectedNames() const;
    // Selects the name's row alone and scrolls to it; a name not watched changes nothing.
    void selectDomain(const QString& domain);

public Q_SLOTS:
    void showAndRaise();
    void checkSelectedNow();
    void removeSelected();
    // Watches the names of the text, one a line, with no date; returns how many were new.
    int addNames(const QString& text);
    // Writes the list to a CSV file; returns an error text, empty on success.
    QString exportTo(const QString& path);

    // The buttons' dialogs around the calls above.
    void askForNames();
    void chooseFileAndExport();

private:
    QPushButton* addButton(QHBoxLayout* row, const QString& caption, const char* objectName);
    void updateButtons();
    void applyInterval(int seconds);

    WatchMonitor& m_monitor;
    WatchListModel* m_model;
    QTableView* m_view;
    QSpinBox* m_intervalBox;
    QPushButton* m_checkNowButton;
    QPushButton* m_removeButton;
};
