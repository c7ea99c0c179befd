#pragma once

#include <QString>
#include <QStringList>

class QSettings;

// What the settings file can set: the two service addresses and how the registries are asked.
struct SettingsValues {
    QString listBase;
    QString checkBase;
    QString bootstrapAddress;
    QString whoisOverride; // "HOST:PORT", empty: the built-in table's servers
    int spacingMs = 1000;
    bool enabled = true;
    // An IANA zone name; empty: the local zone. The settings window leaves it to the file.
    QString listZone;

    static constexpr int kMinSpacingMs = 100;
    static constexpr int kMaxSpacingMs = 60'000;

    bool operator==(const SettingsValues&) const = default;
};

// The values read, and one plain Chinese sentence for each value that was wrong and replaced by
// its default.
struct SettingsReading {
    SettingsValues values;
    QStringList problems;
};

// The program's defaults: the build's service addresses, IANA's bootstrap, one second apart.
SettingsValues BuildSettingsDefaults();
// $XDG_CONFIG_HOME/morrowcatch/morrowcatch.conf
QString DefaultSettingsPath();

// Each key's check, shared by the reading and the settings window: empty when the text is a
// good value, else what is wrong with it.
QString ServiceAddressProblem(const QString& text);
QString WhoisOverrideProblem(const QString& text);
QString SpacingProblem(const QString& text);
QString EnabledProblem(const QString& text);
QString ZoneProblem(const QString& text);

// Reads the keys over the defaults; a missing key or file is its default, a wrong value its
// default and a problem.
SettingsReading ReadSettings(QSettings& settings, const SettingsValues& defaults);
SettingsReading ReadSettingsFile(const QString& path, const SettingsValues& defaults);

// Writes the keys, leaving every other group and key of the file as it was. Returns an error
// text, empty on success.
QString WriteSettingsFile(const QString& path, const SettingsValues& values);
