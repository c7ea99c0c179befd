#include "app/WatchListWindow.h"

#include "app/CsvExportDialog.h"
#include "app/SelectedRows.h"
#include "results/ExportRows.h"
#include "ui_WatchListWindow.h"
#include "watch/WatchListModel.h"
#include "watch/WatchMonitor.h"
#include "watch/WatchRules.h"

#include <QHeaderView>
#include <QInputDialog>
#include <QScrollBar>
#include <QSettings>
#include <QSignalBlocker>
#include <QSortFilterProxyModel>
#include <QStandardPaths>

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

const QString kSettingsGroup = QStringLiteral("watchListWindow");
const QString kHeaderKey = QStringLiteral("headerState");

} // namespace

QString WatchListWindow::defaultSettingsPath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) +
           QStringLiteral("/morrowcatch.conf");
}

WatchListWindow::WatchListWindow(WatchMonitor& monitor, WatchStore& store, QString settingsPath,
                                 QWidget* parent)
    : QWidget(parent, Qt::Window), m_monitor(monitor), m_settingsPath(std::move(settingsPath)),
      m_ui(std::make_unique<Ui::WatchListWindow>()),
      m_model(new WatchListModel(monitor, store, this)), m_sorted(new QSortFilterProxyModel(this)) {
    m_ui->setupUi(this);
    // The window may be the last one shown while the main window sits in the notification area.
    setAttribute(Qt::WA_QuitOnClose, false);
    setUpView();

    connect(m_ui->CheckNowButton, &QPushButton::clicked, this, &WatchListWindow::checkSelectedNow);
    connect(m_ui->RemoveButton, &QPushButton::clicked, this, &WatchListWindow::removeSelected);
    connect(m_ui->AddButton, &QPushButton::clicked, this, &WatchListWindow::askForNames);
    connect(m_ui->ExportButton, &QPushButton::clicked, this, &WatchListWindow::chooseFileAndExport);

    QSpinBox* intervalBox = m_ui->IntervalBox;
    intervalBox->setRange(int(WatchRules::kMinInterval.count()),
                          int(WatchRules::kMaxInterval.count()));
    intervalBox->setValue(int(monitor.interval().count()));
    // Keyboard tracking is off: typing 600 must not pass through 6 and 60, each moving every
    // planned check.
    connect(intervalBox, &QSpinBox::valueChanged, this, &WatchListWindow::applyInterval);
    updateButtons();
}

WatchListWindow::~WatchListWindow() {
    // The program ends with the window open.
    if (isVisible())
        saveColumns();
}

QTableView* WatchListWindow::view() const {
    return m_ui->WatchListView;
}

void WatchListWindow::setUpView() {
    QTableView* view = m_ui->WatchListView;
    m_sorted->setSourceModel(m_model);
    m_sorted->setSortRole(WatchListModel::SortRole);
    // Before the view's own handler, which scrolls to the new current row when the current one
    // goes.
    connect(m_sorted, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this](const QModelIndex&, int first, int last) { noteTopRow(first, last); });
    view->setModel(m_sorted);
    // Fixed widths that fit a name and a date with its time on one line; measuring the texts
    // would read every row of a long list.
    const int widths[] = {160, 90, 80, 140, 140, 70};
    for (int column = 0; column < int(std::size(widths)); ++column)
        view->setColumnWidth(column, widths[column]);
    // Until a header is clicked the rows stand in the list's order; a third click returns to it.
    QHeaderView* header = view->horizontalHeader();
    header->setSortIndicator(-1, Qt::AscendingOrder);
    header->setSortIndicatorClearable(true);
    view->setSortingEnabled(true);
    restoreColumns();

    connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &WatchListWindow::updateButtons);
    connect(m_sorted, &QAbstractItemModel::modelReset, this, &WatchListWindow::updateButtons);
    connect(m_sorted, &QAbstractItemModel::rowsRemoved, this, [this] {
        keepTopRow();
        updateButtons();
    });
}

// Rows removed above the first row in view would otherwise pull the rows below up into view. The
// form scrolls by whole rows, so the scroll bar counts rows.
void WatchListWindow::noteTopRow(int first, int last) {
    const int top = view()->verticalScrollBar()->value();
    m_topRowAfterRemoval = top < first ? -1 : top - (std::min(last, top - 1) - first + 1);
}

void WatchListWindow::keepTopRow() {
    if (m_topRowAfterRemoval < 0)
        return;
    view()->verticalScrollBar()->setValue(std::exchange(m_topRowAfterRemoval, -1));
}

void WatchListWindow::updateButtons() {
    const bool anySelected = view()->selectionModel()->hasSelection();
    m_ui->CheckNowButton->setEnabled(anySelected);
    m_ui->RemoveButton->setEnabled(anySelected);
}

QList<int> WatchListWindow::rowsAsShown() const {
    QList<int> rows;
    rows.reserve(m_sorted->rowCount());
    for (int row = 0; row < m_sorted->rowCount(); ++row)
        rows << m_sorted->mapToSource(m_sorted->index(row, 0)).row();
    return rows;
}

QStringList WatchListWindow::selectedNames() const {
    QStringList names;
    for (int row : SelectedRows(view()))
        names << m_model->domainAt(m_sorted->mapToSource(m_sorted->index(row, 0)).row());
    return names;
}

void WatchListWindow::selectDomain(const QString& domain) {
    const int row = m_model->rowOf(WatchRules::normaliseDomain(domain));
    if (row < 0)
        return;
    const QModelIndex index = m_sorted->mapFromSource(m_model->index(row, 0));
    view()->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                         QItemSelectionModel::Rows);
    // A hidden view scrolls to its current row once it is shown.
    view()->scrollTo(index);
}

void WatchListWindow::showAndRaise() {
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

void WatchListWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    saveColumns();
}

void WatchListWindow::saveColumns() const {
    if (m_settingsPath.isEmpty())
        return;
    QSettings settings(m_settingsPath, QSettings::IniFormat);
    settings.beginGroup(kSettingsGroup);
    settings.setValue(kHeaderKey, view()->horizontalHeader()->saveState());
}

void WatchListWindow::restoreColumns() {
    if (m_settingsPath.isEmpty())
        return;
    QSettings settings(m_settingsPath, QSettings::IniFormat);
    settings.beginGroup(kSettingsGroup);
    QHeaderView* header = view()->horizontalHeader();
    if (!header->restoreState(settings.value(kHeaderKey).toByteArray()))
        return;
    // The window has no way to show a column again once a file hid it.
    for (int column = 0; column < header->count(); ++column)
        header->showSection(column);
    view()->sortByColumn(header->sortIndicatorSection(), header->sortIndicatorOrder());
}

void WatchListWindow::applyInterval(int seconds) {
    m_monitor.setInterval(std::chrono::seconds(seconds));
    // A change the store refused is not shown as made.
    const QSignalBlocker quiet(m_ui->IntervalBox);
    m_ui->IntervalBox->setValue(int(m_monitor.interval().count()));
}

void WatchListWindow::checkSelectedNow() {
    m_monitor.checkNow(selectedNames());
}

void WatchListWindow::removeSelected() {
    m_monitor.remove(selectedNames());
}

int WatchListWindow::addNames(const QString& text) {
    QList<WatchMonitor::NewName> names;
    for (const QString& line : text.split(u'\n')) {
        const QString name = line.trimmed();
        if (!name.isEmpty())
            names.append({name, std::nullopt});
    }
    return names.isEmpty() ? 0 : m_monitor.addMany(names);
}

QString WatchListWindow::exportTo(const QString& path) {
    return WriteCsvFile(m_model->asCsv(rowsAsShown()), path);
}

void WatchListWindow::askForNames() {
    bool accepted = false;
    const QString text = QInputDialog::getMultiLineText(
        this, QStringLiteral("添加"), QStringLiteral("域名（每行一个）："), QString(), &accepted);
    if (accepted)
        addNames(text);
}

void WatchListWindow::chooseFileAndExport() {
    ExportCsvWithDialog(this, QStringLiteral("watchlist.csv"),
                        [this](const QString& path) { return exportTo(path); });
}
