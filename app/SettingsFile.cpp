#include "app/SettingsFile.h"

#include "BuildConfig.h"
#include "registry/RdapBootstrapSource.h"
#include "registry/WhoisServers.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTimeZone>
#include <QUrl>
#include <optional>

namespace {

// A value is quoted back to the user in a message: a file can hold anything, so only so much.
constexpr qsizetype kMaxQuotedLength = 80;

const QString kList = QStringLiteral("services/list");
const QString kCheck = QStringLiteral("services/check");
const QString kBootstrap = QStringLiteral("registry/bootstrap");
const QString kWhois = QStringLiteral("registry/whois");
const QString kSpacing = QStringLiteral("registry/spacing");
const QString kEnabled = QStringLiteral("registry/enabled");
const QString kListZone = QStringLiteral("services/listZone");

QString quoted(const QString& text) {
    return text.size() > kMaxQuotedLength ? text.left(kMaxQuotedLength) + u'…' : text;
}

// "services/list" as the file shows it: "[services] list".
QString keyName(const QString& key) {
    const qsizetype slash = key.indexOf(u'/');
    return u'[' + key.left(slash) + QStringLiteral("] ") + key.mid(slash + 1);
}

class Reader {
public:
    Reader(QSettings& settings, SettingsReading& reading)
        : m_settings(settings), m_reading(reading) {}

    // The key's text when it is set and good; nothing (and a problem when set) otherwise.
    std::optional<QString> text(const QString& key, QString (*problemOf)(const QString&),
                                const QString& defaultText) {
        const QVariant value = m_settings.value(key);
        if (!value.isValid())
            return std::nullopt;
        // An unquoted comma makes QSettings read a list.
        const QString text = value.typeId() == QMetaType::QStringList
                                 ? value.toStringList().join(u',')
                                 : value.toString().trimmed();
        const QString problem = problemOf(text);
        if (problem.isEmpty())
            return text;
        m_reading.problems << QStringLiteral("设置项 %1 的值“%2”%3，已改用默认值：%4。")
                                  .arg(keyName(key), quoted(text), problem,
                                       defaultText.isEmpty() ? QStringLiteral("（空）")
                                                             : defaultText);
        return std::nullopt;
    }

private:
    QSettings& m_settings;
    SettingsReading& m_reading;
};

} // namespace

SettingsValues BuildSettingsDefaults() {
    SettingsValues values;
    values.listBase = QString::fromUtf16(BuildConfig::kListBase);
    values.checkBase = QString::fromUtf16(BuildConfig::kCheckBase);
    values.bootstrapAddress = RdapBootstrapSource::defaultAddress();
    return values;
}

QString DefaultSettingsPath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) +
           QStringLiteral("/morrowcatch.conf");
}

QString ServiceAddressProblem(const QString& text) {
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    const bool web = url.scheme() == u"http" || url.scheme() == u"https";
    if (!url.isValid() || !web || url.host().isEmpty())
        return QStringLiteral("不是以 http:// 或 https:// 开头的网址");
    return {};
}

QString WhoisOverrideProblem(const QString& text) {
    if (text.trimmed().isEmpty() || ParseWhoisOverride(text.trimmed()))
        return {};
    return QStringLiteral("不是“主机:端口”的形式");
}

QString SpacingProblem(const QString& text) {
    bool isNumber = false;
    const int ms = text.trimmed().toInt(&isNumber);
    if (isNumber && ms >= SettingsValues::kMinSpacingMs && ms <= SettingsValues::kMaxSpacingMs)
        return {};
    return QStringLiteral("不是 %1 到 %2 之间的整数（毫秒）")
        .arg(SettingsValues::kMinSpacingMs)
        .arg(SettingsValues::kMaxSpacingMs);
}

QString EnabledProblem(const QString& text) {
    const QString lower = text.trimmed().toLower();
    if (lower == u"true" || lower == u"false" || lower == u"1" || lower == u"0")
        return {};
    return QStringLiteral("不是 true 或 false");
}

QString ZoneProblem(const QString& text) {
    const QString name = text.trimmed();
    if (name.isEmpty() || QTimeZone::isTimeZoneIdAvailable(name.toUtf8()))
        return {};
    return QStringLiteral("不是时区名称（如 Asia/Shanghai）");
}

SettingsReading ReadSettings(QSettings& settings, const SettingsValues& defaults) {
    SettingsReading reading{defaults, {}};
    SettingsValues& v = reading.values;
    Reader reader(settings, reading);
    if (const auto text = reader.text(kList, ServiceAddressProblem, defaults.listBase))
        v.listBase = *text;
    if (const auto text = reader.text(kCheck, ServiceAddressProblem, defaults.checkBase))
        v.checkBase = *text;
    if (const auto text = reader.text(kBootstrap, ServiceAddressProblem, defaults.bootstrapAddress))
        v.bootstrapAddress = *text;
    if (const auto text = reader.text(kWhois, WhoisOverrideProblem, defaults.whoisOverride))
        v.whoisOverride = *text;
    if (const auto text =
            reader.text(kSpacing, SpacingProblem, QString::number(defaults.spacingMs)))
        v.spacingMs = text->toInt();
    if (const auto text =
            reader.text(kEnabled, EnabledProblem,
                        defaults.enabled ? QStringLiteral("true") : QStringLiteral("false"))) {
        const QString lower = text->toLower();
        v.enabled = lower == u"true" || lower == u"1";
    }
    if (const auto text = reader.text(kListZone, ZoneProblem,
                                      defaults.listZone.isEmpty() ? QStringLiteral("本机时区")
                                                                  : defaults.listZone))
        v.listZone = *text;
    return reading;
}

SettingsReading ReadSettingsFile(const QString& path, const SettingsValues& defaults) {
    QSettings settings(path, QSettings::IniFormat);
    if (settings.status() == QSettings::FormatError) {
        SettingsReading reading{defaults, {}};
        reading.problems << QStringLiteral("设置文件 %1 无法读取，全部设置已改用默认值。")
                                .arg(QDir::toNativeSeparators(path));
        return reading;
    }
    return ReadSettings(settings, defaults);
}

QString WriteSettingsFile(const QString& path, const SettingsValues& values) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSettings settings(path, QSettings::IniFormat);
    settings.setValue(kList, values.listBase);
    settings.setValue(kCheck, values.checkBase);
    settings.setValue(kBootstrap, values.bootstrapAddress);
    settings.setValue(kWhois, values.whoisOverride);
    settings.setValue(kSpacing, values.spacingMs);
    settings.setValue(kEnabled, values.enabled);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        return QStringLiteral("设置无法写入 %1。").arg(QDir::toNativeSeparators(path));
    return {};
}
