// The start-up sequence: caption, result list, criteria lists, status bar, notification icon.
#include "app/Form1.h"

#include "app/Maker.h"
#include "app/TrayTip.h"
#include "search/CriteriaLists.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <QTableView>

namespace {

constexpr int kStatusPanelTwips = 4080;
constexpr int kMakerPanelTwips = 7400;

QLabel* makePanel(QStatusBar* bar, const QString& name, int widthTwips, const QString& text) {
    auto* panel = new QLabel(text, bar);
    panel->setObjectName(name);
    // Status texts can carry whatever a server sent: never interpret them as markup.
    panel->setTextFormat(Qt::PlainText);
    panel->setFixedWidth(pixels(widthTwips));
    return panel;
}

} // namespace

void Form1::StartUp() {
    SetTitle();
    InitResultList();
    InitCriteriaLists();
    InitStatusBar();
    SetTrayIcon(false);
}

void Form1::SetTitle() {
    setWindowTitle(Maker::fullTitle());
}

void Form1::InitResultList() {
    m_rows.clear();
    QTableView* view = ui.ListView1;
    view->setModel(&m_rows);
    view->setShowGrid(true);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setSortingEnabled(false);
    view->setWordWrap(false);
    // QTableView keeps Tab for moving between cells and wraps: the keyboard user would be caught
    // in the list. Arrow keys still move within it.
    view->setTabKeyNavigation(false);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    QHeaderView* header = view->horizontalHeader();
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setStretchLastSection(false);
    header->setSectionsClickable(false);
    for (int column = 0; column < ResultListModel::ColumnCount; ++column) {
        view->setColumnWidth(column, pixels(ResultListModel::widthInTwips(
                                         static_cast<ResultListModel::Column>(column))));
    }
}

void Form1::InitCriteriaLists() {
    ui.Combo1->addItems(CriteriaLists::pinyinChoices());
    ui.Combo1->setCurrentText(CriteriaLists::kAllPinyin);
    ui.Combo2->addItems(CriteriaLists::deletionTypeChoices());
    ui.Combo2->setCurrentText(CriteriaLists::kDelete);
    ui.Combo3->addItems(CriteriaLists::deletionDateChoices(m_config.today()));
    ui.Combo3->setCurrentText(CriteriaLists::kPastDeletions);
}

void Form1::InitStatusBar() {
    ui.statusPanels[0] = makePanel(ui.StatusBar1, QStringLiteral("StatusBar1.Panel1"),
                                   kStatusPanelTwips, QStringLiteral("状态：准备就绪"));
    ui.statusPanels[1] = makePanel(ui.StatusBar1, QStringLiteral("StatusBar1.Panel2"),
                                   kMakerPanelTwips, Maker::kInformation);
    ui.statusPanels[2] = ui.StatusBar1->findChild<QLabel*>(QStringLiteral("StatusBar1.Panel"));
    ui.StatusBar1->insertWidget(0, ui.statusPanels[0]);
    ui.StatusBar1->insertWidget(1, ui.statusPanels[1]);
    // How far a search or a check has come, in the third panel while it runs.
    m_progress = new QProgressBar(ui.statusPanels[2]);
    m_progress->setObjectName(QStringLiteral("StatusBar1.Progress"));
    auto* fill = new QHBoxLayout(ui.statusPanels[2]);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(m_progress);
    m_progress->setTextVisible(true);
    m_progress->hide();
    m_status.setText(ui.statusPanels[0]->text());
    connect(&m_status, &StatusLine::textChanged, ui.statusPanels[0], &QLabel::setText);
}

void Form1::SetTrayIcon(bool hideWindow) {
    if (!m_tray) {
        m_tray = new QSystemTrayIcon(windowIcon(), this);
        connect(m_tray, &QSystemTrayIcon::activated, this, &Form1::TrayIcon_Activated);
    }
    // Adding an icon that is already there adds no second one and keeps its tip.
    if (!m_tray->isVisible()) {
        m_tray->setToolTip(TrayTipFor(windowTitle()));
        m_tray->show();
    }
    // Without a notification area a hidden window could never come back: leave it minimised.
    if (hideWindow && QSystemTrayIcon::isSystemTrayAvailable())
        hide();
}
