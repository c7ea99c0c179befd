#include "app/Form1.h"

#include "app/Maker.h"
#include "app/ProgressDisplay.h"
#include "app/ReadCriteria.h"
#include "search/RunListSearch.h"
#include "verify/VerifyListedDomains.h"
#include "verify/VerifyTargetDomain.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTableView>

// The pictures live in the window's static library, whose resources are not registered by
// themselves.
static void registerPictures() {
    Q_INIT_RESOURCE(resources);
}

namespace {

constexpr int kClientWidth = 12270 / kTwipsPerPixel;
constexpr int kClientHeight = 8115 / kTwipsPerPixel;

} // namespace

Form1::Form1(AppConfig config, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_config(std::move(config)), m_guard(nullptr, nullptr) {
    registerPictures();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(Maker::kProductTitle);
    setWindowIcon(QIcon(QStringLiteral(":/icon.png")));
    // The layout is made for a font whose full-width characters are 12 pixels wide.
    QFont font = this->font();
    font.setPixelSize(12);
    setFont(font);
    setFixedSize(kClientWidth, kClientHeight);

    ui = BuildForm1Controls(this);
    m_guard = BusyGuard(ui.Command1, ui.Command2);
    ui.Image1->setPixmap(QPixmap(QStringLiteral(":/banner.jpg")));
    connectHandlers();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect centred(QPoint(), size());
        centred.moveCenter(screen->availableGeometry().center());
        move(centred.topLeft());
    }
    m_savedPosition = pos();

    Form_Load();
    ui.Text1->setFocus();
}

Form1::~Form1() {
    // Waits that are still open end now, before the widgets go.
    m_closing.begin();
}

void Form1::connectHandlers() {
    connect(ui.Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(ui.Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(ui.Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(ui.Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(ui.Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    ui.Text4->installEventFilter(this);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &Form1::StopRunningOperation);
    ui.ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui.ListView1, &QWidget::customContextMenuRequested, this, &Form1::showResultListMenu);
}

void Form1::Form_Load() {
    StartUp();
}

void Form1::runMarkedOperation(QPushButton* marker, const std::function<void()>& operation) {
    if (!m_guard.passes())
        return;
    BusyGuard::Running running(marker);
    ProgressDisplay progress(m_progress, m_workspace);
    operation();
}

void Form1::Command1_Click() {
    runMarkedOperation(ui.Command1,
                       [this] { RunListSearch(m_config.listBase, ReadCriteria(ui), m_workspace); });
}

void Form1::Command3_Click() {
    if (!m_guard.passes())
        return;
    m_rows.clear();
}

void Form1::Command2_Click() {
    runMarkedOperation(ui.Command2,
                       [this] { VerifyListedDomains(m_config.checkBase, m_workspace); });
}

void Form1::RecheckUnverified() {
    runMarkedOperation(ui.Command2,
                       [this] { VerifyUncheckedDomains(m_config.checkBase, m_workspace); });
}

void Form1::StopRunningOperation() {
    // Only a search or a check of every name can be stopped; they are the ones the guard marks.
    if (!m_guard.passes())
        m_workspace.stopRequested = true;
}

void Form1::Command4_Click() {
    if (!m_guard.passes())
        return;
    FilterRegistered(m_workspace);
}

void Form1::Command5_Click() {
    if (!m_guard.passes())
        return;
    VerifyTargetDomain(m_config.checkBase, ui.Text4->text(), m_workspace);
}

void Form1::Text4_KeyPress(int characterCode) {
    if (characterCode != '\r')
        return;
    // The Enter key is never held back by the busy guard.
    const QString name = ui.Text4->text();
    if (name.contains(u'.'))
        VerifyTargetDomain(m_config.checkBase, name, m_workspace);
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui.Text4 && event->type() == QEvent::KeyPress) {
        const QString typed = static_cast<QKeyEvent*>(event)->text();
        if (typed.size() == 1)
            Text4_KeyPress(typed.at(0).unicode());
    }
    // The text box handles every key as it would without us.
    return QWidget::eventFilter(watched, event);
}
