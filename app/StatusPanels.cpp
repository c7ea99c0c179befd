#include "app/StatusPanels.h"

#include "app/Maker.h"
#include "app/Twips.h"
#include "results/StatusLine.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>

namespace {

constexpr int kStatusPanelTwips = 4080;
constexpr int kMakerPanelTwips = 7400;
constexpr int kDesignPanelTwips = 1440;

QLabel* makePanel(QStatusBar* bar, const QString& name, int widthTwips, const QString& text) {
    auto* panel = new QLabel(text, bar);
    panel->setObjectName(name);
    // Status texts can carry whatever a server sent: never interpret them as markup.
    panel->setTextFormat(Qt::PlainText);
    panel->setFixedWidth(pixels(widthTwips));
    return panel;
}

} // namespace

StatusPanels AddStatusPanels(QStatusBar* bar, StatusLine& status) {
    StatusPanels s;
    // The bar's own design-time panel; the two working panels go before it.
    s.panels[2] = makePanel(bar, QStringLiteral("StatusBar1.Panel"), kDesignPanelTwips, {});
    bar->addWidget(s.panels[2]);
    s.panels[0] = makePanel(bar, QStringLiteral("StatusBar1.Panel1"), kStatusPanelTwips,
                            QStringLiteral("状态：准备就绪"));
    s.panels[1] =
        makePanel(bar, QStringLiteral("StatusBar1.Panel2"), kMakerPanelTwips, Maker::kInformation);
    bar->insertWidget(0, s.panels[0]);
    bar->insertWidget(1, s.panels[1]);

    // How far a search or a check has come, in the third panel while it runs.
    s.progress = new QProgressBar(s.panels[2]);
    s.progress->setObjectName(QStringLiteral("StatusBar1.Progress"));
    auto* fill = new QHBoxLayout(s.panels[2]);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(s.progress);
    s.progress->setTextVisible(true);
    s.progress->hide();
    // Registry questions run beside a search or a check, so they count on a bar of their own.
    s.registryProgress = new QProgressBar(s.panels[2]);
    s.registryProgress->setObjectName(QStringLiteral("StatusBar1.RegistryProgress"));
    s.registryProgress->setFormat(QStringLiteral("%v/%m"));
    s.registryProgress->setToolTip(QStringLiteral("向注册局核实"));
    fill->addWidget(s.registryProgress);
    s.registryProgress->hide();

    status.setText(s.panels[0]->text());
    QObject::connect(&status, &StatusLine::textChanged, s.panels[0], &QLabel::setText);
    return s;
}
