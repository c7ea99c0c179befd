#include "app/SettingsWindow.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QLineEdit* addLine(QFormLayout* form, const QString& label, const char* name) {
    auto* edit = new QLineEdit(form->parentWidget());
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMinimumWidth(360);
    form->addRow(label, edit);
    return edit;
}

QLabel* plainLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

} // namespace

SettingsWindow::SettingsWindow(QString path, QWidget* parent)
    : QDialog(parent), m_path(std::move(path)) {
    setObjectName(QStringLiteral("SettingsWindow"));
    setWindowTitle(QStringLiteral("设置"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    m_listBase = addLine(form, QStringLiteral("删除域名列表服务："), "SettingsListBase");
    m_checkBase = addLine(form, QStringLiteral("域名查询服务："), "SettingsCheckBase");
    m_bootstrap = addLine(form, QStringLiteral("RDAP 引导文件："), "SettingsBootstrap");
    m_whois = addLine(form, QStringLiteral("WHOIS 服务器（主机:端口）："), "SettingsWhois");
    m_whois->setPlaceholderText(QStringLiteral("空：按后缀询问各自的注册局"));
    m_spacing = new QSpinBox(this);
    m_spacing->setObjectName(QStringLiteral("SettingsSpacing"));
    m_spacing->setRange(SettingsValues::kMinSpacingMs, SettingsValues::kMaxSpacingMs);
    m_spacing->setSuffix(QStringLiteral(" 毫秒"));
    form->addRow(QStringLiteral("同一注册局两次查询至少相隔："), m_spacing);
    m_enabled = new QCheckBox(QStringLiteral("向注册局查询"), this);
    m_enabled->setObjectName(QStringLiteral("SettingsEnabled"));
    form->addRow(QString(), m_enabled);
    layout->addWidget(plainLabel(
        QStringLiteral("服务地址保存后立即生效；注册局的设置在程序下次启动时生效。"), this));
    m_problems = plainLabel(QString(), this);
    m_problems->setObjectName(QStringLiteral("SettingsProblems"));
    m_problems->setStyleSheet(QStringLiteral("color: #b00020"));
    layout->addWidget(m_problems);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Save)->setText(QStringLiteral("保存"));
    buttons->button(QDialogButtonBox::Save)->setObjectName(QStringLiteral("SettingsSave"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (save())
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    load();
}

void SettingsWindow::load() {
    const SettingsReading reading = ReadSettingsFile(m_path, BuildSettingsDefaults());
    const SettingsValues& v = reading.values;
    m_listBase->setText(v.listBase);
    m_checkBase->setText(v.checkBase);
    m_bootstrap->setText(v.bootstrapAddress);
    m_whois->setText(v.whoisOverride);
    m_spacing->setValue(v.spacingMs);
    m_enabled->setChecked(v.enabled);
    m_problems->setText(reading.problems.join(u'\n'));
}

void SettingsWindow::showAndRaise() {
    load();
    show();
    raise();
    activateWindow();
}

bool SettingsWindow::save() {
    QStringList problems;
    const auto check = [&problems](const QString& label, const QString& problem) {
        if (!problem.isEmpty())
            problems << label + QStringLiteral("：") + problem + u'。';
    };
    check(QStringLiteral("删除域名列表服务"), ServiceAddressProblem(m_listBase->text()));
    check(QStringLiteral("域名查询服务"), ServiceAddressProblem(m_checkBase->text()));
    check(QStringLiteral("RDAP 引导文件"), ServiceAddressProblem(m_bootstrap->text()));
    check(QStringLiteral("WHOIS 服务器"), WhoisOverrideProblem(m_whois->text()));
    if (!problems.isEmpty()) {
        m_problems->setText(problems.join(u'\n'));
        return false;
    }
    SettingsValues values;
    values.listBase = m_listBase->text().trimmed();
    values.checkBase = m_checkBase->text().trimmed();
    values.bootstrapAddress = m_bootstrap->text().trimmed();
    values.whoisOverride = m_whois->text().trimmed();
    values.spacingMs = m_spacing->value();
    values.enabled = m_enabled->isChecked();
    const QString error = WriteSettingsFile(m_path, values);
    m_problems->setText(error);
    if (!error.isEmpty())
        return false;
    emit saved(values);
    return true;
}
