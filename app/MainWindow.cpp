#include "app/MainWindow.h"

#include "app/CriteriaControls.h"
#include "app/CsvExportDialog.h"
#include "app/DesignerNames.h"
#include "app/DropListAddress.h"
#include "app/DropListCommand.h"
#include "app/Maker.h"
#include "app/PlainMessage.h"
#include "app/ProgressDisplay.h"
#include "app/RegistryCheckRunner.h"
#include "app/ResultViewSetup.h"
#include "app/SelectedRows.h"
#include "app/SettingsWindow.h"
#include "results/ExportRows.h"
#include "search/MatchCriteria.h"
#include "search/RunListSearch.h"
#include "ui_MainWindow.h"
#include "verify/VerifyListedDomains.h"
#include "verify/VerifyTargetDomain.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QScreen>
#include <QShortcut>
#include <QTimer>

// The pictures live in the window's static library, whose resources are not registered by
// themselves.
static void registerPictures() {
    Q_INIT_RESOURCE(resources);
}

namespace {

constexpr QSize kClientSize(818, 541);

} // namespace

MainWindow::MainWindow(AppConfig config, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_config(std::move(config)), m_ui(std::make_unique<Ui::MainWindow>()),
      m_guard(nullptr, nullptr), m_tray(this),
      m_watch(std::make_unique<WatchListController>(this, m_tray, m_config,
                                                    [this] { return selectedNamesAndDates(); })),
      m_registryCheck(
          std::make_unique<RegistryCheckRunner>(m_rows, m_watch->list().registry().lookup())),
      m_dropList(std::make_unique<DropListCommand>(m_rows, m_status)) {
    registerPictures();
    m_workspace.now = m_config.now;
    m_workspace.fetchTimeLimit = m_config.fetchTimeLimit;
    setWindowTitle(Maker::kProductTitle);
    setWindowIcon(QIcon(QStringLiteral(":/icon.png")));
    // The layout is made for a font whose full-width characters are 12 pixels wide.
    QFont font = this->font();
    font.setPixelSize(12);
    setFont(font);

    m_ui->setupUi(this);
    setObjectName(QStringLiteral("Form1"));
    ApplyDesignerNames(*m_ui);
    setFixedSize(kClientSize);
    m_guard = BusyGuard(m_ui->searchButton, m_ui->verifyButton);
    for (QPushButton* button : {m_ui->searchButton, m_ui->verifyButton, m_ui->clearButton,
                                m_ui->filterButton, m_ui->targetCheckButton})
        button->setProperty(kTagProperty, QString());
    // The design's label heights are those of a smaller font: each label takes its text's size.
    for (QLabel* label : findChildren<QLabel*>()) {
        if (!label->text().isEmpty())
            label->adjustSize();
    }
    // Tab stops only at the selected button of a group; the arrow keys move within it.
    for (QButtonGroup* group : {m_ui->placeGroup, m_ui->orderGroup}) {
        for (QAbstractButton* button : group->buttons())
            button->setFocusPolicy(button->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
        connect(group, &QButtonGroup::buttonToggled, group,
                [](QAbstractButton* button, bool checked) {
                    button->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus);
                });
    }
    m_ui->bannerImage->setPixmap(QPixmap(QStringLiteral(":/banner.jpg")));
    connectHandlers();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect centred(QPoint(), size());
        centred.moveCenter(screen->availableGeometry().center());
        move(centred.topLeft());
    }
    m_tray.rememberPosition();

    startUp();
    m_ui->keywordEdit->setFocus();
}

MainWindow::~MainWindow() {
    // Waits that are still open end now, before the widgets go.
    m_closing.begin();
    m_registryCheck->cancel();
    m_watch->list().stop();
}

void MainWindow::startUp() {
    setWindowTitle(Maker::fullTitle());
    m_rows.clear();
    ConfigureResultView(m_ui->resultView, &m_rows);
    FillCriteriaLists(*m_ui, m_config.today());
    m_panels = AddStatusPanels(m_ui->statusBar, m_status);
    m_tray.show();
    m_watch->open(m_config.watchListPath);
    if (!m_config.settingsProblems.isEmpty()) {
        ShowPlainMessage(this, QStringLiteral("设置"), m_config.settingsProblems.join(u'\n'))
            ->setObjectName(QStringLiteral("SettingsFileMessage"));
    }
}

void MainWindow::addSelectedToWatchList() {
    m_watch->addSelection();
}

void MainWindow::verifyWithRegistry() {
    if (!m_watch->list().registry().isEnabled()) {
        ShowPlainMessage(this, QStringLiteral("向注册局核实"),
                         QStringLiteral("向注册局查询已在设置中关闭。"))
            ->setObjectName(QStringLiteral("RegistryOffMessage"));
        return;
    }
    m_registryCheck->ask(SelectedRows(m_ui->resultView));
}

void MainWindow::showRegistryProgress(int done, int total) {
    QProgressBar* bar = m_panels.registryProgress;
    if (total == 0) {
        bar->hide();
        return;
    }
    bar->setRange(0, total);
    bar->setValue(done);
    bar->show();
}

void MainWindow::openSettings() {
    if (!m_settingsWindow) {
        m_settingsWindow = std::make_unique<SettingsWindow>(
            m_config.settingsPath.isEmpty() ? DefaultSettingsPath() : m_config.settingsPath);
        connect(m_settingsWindow.get(), &SettingsWindow::saved, this, &MainWindow::settingsSaved);
    }
    m_settingsWindow->showAndRaise();
}

void MainWindow::settingsSaved(const SettingsValues& values) {
    // The next search and check go to the new addresses; the registries are asked as they
    // were until the next start.
    m_config.listBase = values.listBase;
    m_config.checkBase = values.checkBase;
}

void MainWindow::bringToFront() {
    m_tray.restoreWindow();
}

QList<WatchMonitor::NewName> MainWindow::selectedNamesAndDates() const {
    QList<WatchMonitor::NewName> names;
    for (int row : SelectedRows(m_ui->resultView)) {
        const QDate date = m_rows.row(row).deletionDate();
        names.append({m_rows.cell(row, ResultListModel::Domain),
                      date.isValid() ? std::optional(date) : std::nullopt,
                      m_rows.row(row).listedDeletionTime()});
    }
    return names;
}

void MainWindow::connectHandlers() {
    connect(m_ui->searchButton, &QPushButton::clicked, this, &MainWindow::startSearch);
    connect(m_ui->verifyButton, &QPushButton::clicked, this, &MainWindow::verifyListed);
    connect(m_ui->clearButton, &QPushButton::clicked, this, &MainWindow::clearList);
    connect(m_ui->filterButton, &QPushButton::clicked, this, &MainWindow::filterRegistered);
    connect(m_ui->targetCheckButton, &QPushButton::clicked, this, &MainWindow::verifyTarget);
    m_ui->targetDomainEdit->installEventFilter(this);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &MainWindow::stopRunningOperation);
    // The watch list's commands live in the window too, so the keyboard and assistive tools
    // reach them; the context menu shows the same actions with their shortcuts.
    addAction(m_watch->addAction());
    addAction(m_watch->openAction());
    m_registryAction = new QAction(QStringLiteral("向注册局核实"), this);
    m_registryAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    connect(m_registryAction, &QAction::triggered, this, &MainWindow::verifyWithRegistry);
    addAction(m_registryAction);
    m_settingsAction = new QAction(QStringLiteral("设置..."), this);
    m_settingsAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    connect(m_settingsAction, &QAction::triggered, this, &MainWindow::openSettings);
    addAction(m_settingsAction);
    m_importAction = new QAction(QStringLiteral("导入删除列表..."), this);
    m_importAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    connect(m_importAction, &QAction::triggered, this, &MainWindow::chooseDropList);
    addAction(m_importAction);
    m_importAddressAction = new QAction(QStringLiteral("从网址导入..."), this);
    m_importAddressAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I));
    connect(m_importAddressAction, &QAction::triggered, this, &MainWindow::askDropListAddress);
    addAction(m_importAddressAction);
    connect(m_dropList.get(), &DropListCommand::progressed, this,
            [this](int done, int total) { m_workspace.reportProgress(done, total); });
    connect(m_dropList.get(), &DropListCommand::finished, this, &MainWindow::dropListRead);
    connect(m_registryCheck.get(), &RegistryCheckRunner::progressed, this,
            &MainWindow::showRegistryProgress);
    m_ui->resultView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_ui->resultView, &QWidget::customContextMenuRequested, this,
            &MainWindow::showResultListMenu);
}

void MainWindow::runMarkedOperation(QPushButton* marker, const std::function<void()>& operation) {
    if (!m_guard.passes())
        return;
    BusyGuard::Running running(marker);
    WatchRunner::Hold watchWaits(m_watch->list());
    ProgressDisplay progress(m_panels.progress, m_workspace);
    operation();
}

void MainWindow::startSearch() {
    runMarkedOperation(m_ui->searchButton, [this] {
        RunListSearch(m_config.listBase, ReadCriteria(*m_ui), m_workspace);
    });
}

void MainWindow::clearList() {
    if (!m_guard.passes())
        return;
    m_rows.clear();
}

void MainWindow::verifyListed() {
    runMarkedOperation(m_ui->verifyButton,
                       [this] { VerifyListedDomains(m_config.checkBase, m_workspace); });
}

void MainWindow::recheckUnverified() {
    runMarkedOperation(m_ui->verifyButton,
                       [this] { VerifyUncheckedDomains(m_config.checkBase, m_workspace); });
}

void MainWindow::stopRunningOperation() {
    // Only a search, a check of every name or an import can be stopped; they are the ones the
    // guard marks.
    if (!m_guard.passes())
        m_workspace.stopRequested = true;
    m_dropList->cancel();
    // Registry questions still waiting are dropped.
    m_registryCheck->cancel();
}

void MainWindow::filterRegistered() {
    if (!m_guard.passes())
        return;
    FilterRegistered(m_workspace);
}

void MainWindow::verifyTarget() {
    if (!m_guard.passes())
        return;
    WatchRunner::Hold watchWaits(m_watch->list());
    VerifyTargetDomain(m_config.checkBase, m_ui->targetDomainEdit->text(), m_workspace);
}

void MainWindow::targetDomainKeyPressed(int characterCode) {
    if (characterCode != '\r')
        return;
    // The Enter key is never held back by the busy guard.
    const QString name = m_ui->targetDomainEdit->text();
    if (!name.contains(u'.'))
        return;
    WatchRunner::Hold watchWaits(m_watch->list());
    VerifyTargetDomain(m_config.checkBase, name, m_workspace);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_ui->targetDomainEdit && event->type() == QEvent::KeyPress) {
        const QString typed = static_cast<QKeyEvent*>(event)->text();
        if (typed.size() == 1)
            targetDomainKeyPressed(typed.at(0).unicode());
    }
    // The text box handles every key as it would without us.
    return QWidget::eventFilter(watched, event);
}

QMenu* MainWindow::buildResultListMenu() {
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("ResultListMenu"));
    QAction* exportAction = menu->addAction(QStringLiteral("导出为CSV..."));
    connect(exportAction, &QAction::triggered, this, &MainWindow::chooseFileAndExport);
    QAction* copyAction = menu->addAction(QStringLiteral("复制域名"));
    copyAction->setEnabled(m_ui->resultView->selectionModel()->hasSelection());
    connect(copyAction, &QAction::triggered, this, &MainWindow::copySelectedDomains);
    QAction* recheckAction = menu->addAction(QStringLiteral("重新验证未验证的域名"));
    recheckAction->setEnabled(m_guard.passes());
    connect(recheckAction, &QAction::triggered, this, &MainWindow::recheckUnverified);
    menu->addSeparator();
    menu->addAction(m_watch->addAction());
    menu->addAction(m_watch->openAction());
    menu->addAction(m_registryAction);
    menu->addAction(m_importAction);
    menu->addAction(m_importAddressAction);
    menu->addSeparator();
    menu->addAction(m_settingsAction);
    return menu;
}

void MainWindow::showResultListMenu(const QPoint& at) {
    QMenu* menu = buildResultListMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(m_ui->resultView->viewport()->mapToGlobal(at));
}

void MainWindow::chooseFileAndExport() {
    ExportCsvWithDialog(this, QStringLiteral("morrowcatch.csv"),
                        [this](const QString& path) { return exportRowsTo(path); });
}

QString MainWindow::exportRowsTo(const QString& path) {
    return WriteRowsCsv(m_rows, path);
}

void MainWindow::chooseDropList() {
    if (!m_guard.passes())
        return;
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("导入删除列表"), QString(),
                                     QStringLiteral("删除列表 (*.txt *.csv *.gz);;所有文件 (*)"));
    if (!path.isEmpty())
        importFile(path);
}

void MainWindow::importFile(const QString& path) {
    if (!m_guard.passes() || m_closing.isClosing() || m_dropList->isRunning())
        return;
    if (!m_dropList->start(path, MatchCriteriaOf(ReadCriteria(*m_ui)), m_config.today()))
        return;
    holdWhileImporting();
}

void MainWindow::askDropListAddress() {
    if (!m_guard.passes())
        return;
    bool accepted = false;
    const QString typed = QInputDialog::getText(this, QStringLiteral("从网址导入"),
                                                QStringLiteral("删除列表的网址（http 或 https）："),
                                                QLineEdit::Normal, QString(), &accepted);
    if (accepted)
        importAddress(typed);
}

void MainWindow::importAddress(const QString& typed) {
    if (!m_guard.passes() || m_closing.isClosing() || m_dropList->isRunning())
        return;
    const QUrl address = DropListAddressOf(typed);
    if (!address.isValid()) {
        ShowPlainMessage(this, QStringLiteral("从网址导入"),
                         QStringLiteral("这不是一个 http 或 https 网址：") + typed.trimmed())
            ->setObjectName(QStringLiteral("DropListMessage"));
        return;
    }
    if (!m_dropList->startFromAddress(address, MatchCriteriaOf(ReadCriteria(*m_ui)),
                                      m_config.today()))
        return;
    holdWhileImporting();
}

void MainWindow::holdWhileImporting() {
    // The search button's marker holds every other command back until the reading ends.
    m_importRunning = std::make_unique<BusyGuard::Running>(m_ui->searchButton);
    m_importProgress = std::make_unique<ProgressDisplay>(m_panels.progress, m_workspace);
}

void MainWindow::dropListRead(const QString& problem) {
    m_importProgress.reset();
    m_importRunning.reset();
    if (!problem.isEmpty() && !m_closing.isClosing()) {
        ShowPlainMessage(this, QStringLiteral("导入删除列表"), problem)
            ->setObjectName(QStringLiteral("DropListMessage"));
    }
}

void MainWindow::copySelectedDomains() {
    QStringList names;
    for (int row : SelectedRows(m_ui->resultView))
        names << m_rows.cell(row, ResultListModel::Domain);
    QGuiApplication::clipboard()->setText(names.join(u'\n'));
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    m_ui->bannerImage->setVisible(!isMinimized());
    if (isMinimized()) {
        // Hidden once the state change has been handled, so the window manager sees it through.
        QTimer::singleShot(0, this, [this] {
            if (isMinimized())
                m_tray.hideWindow();
        });
    }
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (!isMinimized() && isVisible())
        m_tray.rememberPosition();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    unload();
    event->accept();
}

void MainWindow::unload() {
    // Once per close, however many times the close is asked for.
    if (m_unloaded)
        return;
    m_unloaded = true;
    // The watch asks nothing more once the window is going.
    m_watch->list().stop();
    m_registryCheck->cancel();
    m_dropList->cancel();
    m_tray.remove();
    QDesktopServices::openUrl(m_config.homePage);
    m_closing.begin();
}
