#include "app/WatchListWindow.h"

#include "app/CsvExportDialog.h"
#include "app/SelectedRows.h"
#include "results/ExportRows.h"
#include "watch/WatchListModel.h"
#include "watch/WatchMonitor.h"
#include "watch/WatchRules.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>

#include <iterator>

WatchListWindow::WatchListWindow(WatchMonitor& monitor, WatchStore& store, QWidget* parent)
    : QWidget(parent, Qt::Window), m_monitor(monitor),
      m_model(new WatchListModel(monitor, store, this)), m_view(new QTableView(this)),
      m_intervalBox(new QSpinBox(this)) {
    setObjectName(QStringLiteral("WatchListWindow"));
    setWindowTitle(QStringLiteral("关注列表"));
    // The window may be the last one shown while the main window sits in the notification area.
    setAttribute(Qt::WA_QuitOnClose, false);

    m_view->setObjectName(QStringLiteral("WatchListView"));
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setTabKeyNavigation(false);
    m_view->verticalHeader()->hide();
    m_view->horizontalHeader()->setStretchLastSection(true);
    // Fixed widths that fit a name and a date with its time on one line; measuring the texts
    // would read every row of a long list.
    m_view->setWordWrap(false);
    const int widths[] = {170, 90, 80, 140, 140};
    for (int column = 0; column < int(std::size(widths)); ++column)
        m_view->setColumnWidth(column, widths[column]);

    auto* controls = new QHBoxLayout;
    m_checkNowButton = addButton(controls, QStringLiteral("立即检查"), "CheckNowButton");
    m_removeButton = addButton(controls, QStringLiteral("移除"), "RemoveButton");
    QPushButton* addNamesButton = addButton(controls, QStringLiteral("添加..."), "AddButton");
    QPushButton* exportButton = addButton(controls, QStringLiteral("导出为CSV..."), "ExportButton");
    connect(m_checkNowButton, &QPushButton::clicked, this, &WatchListWindow::checkSelectedNow);
    connect(m_removeButton, &QPushButton::clicked, this, &WatchListWindow::removeSelected);
    connect(addNamesButton, &QPushButton::clicked, this, &WatchListWindow::askForNames);
    connect(exportButton, &QPushButton::clicked, this, &WatchListWindow::chooseFileAndExport);

    m_intervalBox->setObjectName(QStringLiteral("IntervalBox"));
    m_intervalBox->setAccessibleName(QStringLiteral("检查间隔"));
    m_intervalBox->setRange(int(WatchRules::kMinInterval.count()),
                            int(WatchRules::kMaxInterval.count()));
    m_intervalBox->setSuffix(QStringLiteral(" 秒"));
    m_intervalBox->setValue(int(monitor.interval().count()));
    // Typing 600 must not pass through 6 and 60, each moving every planned check.
    m_intervalBox->setKeyboardTracking(false);
    connect(m_intervalBox, &QSpinBox::valueChanged, this, &WatchListWindow::applyInterval);
    auto* intervalLabel = new QLabel(QStringLiteral("检查间隔："), this);
    intervalLabel->setTextFormat(Qt::PlainText);
    intervalLabel->setBuddy(m_intervalBox);

    controls->addStretch();
    controls->addWidget(intervalLabel);
    controls->addWidget(m_intervalBox);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_view);
    layout->addLayout(controls);
    resize(760, 420);

    connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &WatchListWindow::updateButtons);
    connect(m_model, &QAbstractItemModel::modelReset, this, &WatchListWindow::updateButtons);
    updateButtons();
}

QPushButton* WatchListWindow::addButton(QHBoxLayout* row, const QString& caption,
                                        const char* objectName) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setAccessibleName(caption);
    row->addWidget(button);
    return button;
}

void WatchListWindow::updateButtons() {
    const bool anySelected = m_view->selectionModel()->hasSelection();
    m_checkNowButton->setEnabled(anySelected);
    m_removeButton->setEnabled(anySelected);
}

QStringList WatchListWindow::selectedNames() const {
    QStringList names;
    for (int row : SelectedRows(m_view))
        names << m_model->domainAt(row);
    return names;
}

void WatchListWindow::selectDomain(const QString& domain) {
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (m_model->domainAt(row) == domain) {
            const QModelIndex index = m_model->index(row, 0);
            m_view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                                 QItemSelectionModel::Rows);
            m_view->scrollTo(index);
            return;
        }
    }
}

void WatchListWindow::showAndRaise() {
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

void WatchListWindow::applyInterval(int seconds) {
    m_monitor.setInterval(std::chrono::seconds(seconds));
    // A change the store refused is not shown as made.
    const QSignalBlocker quiet(m_intervalBox);
    m_intervalBox->setValue(int(m_monitor.interval().count()));
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
    return WriteCsvFile(m_model->asCsv(), path);
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
