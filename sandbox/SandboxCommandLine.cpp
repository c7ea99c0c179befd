#include "SandboxCommandLine.h"

#include "SandboxClock.h"

#include <QCommandLineParser>

namespace {

struct Options {
    QCommandLineOption port{QStringLiteral("port"),
                            QStringLiteral("Port on 127.0.0.1 (default 8730, 0: any free port)."),
                            QStringLiteral("port"), QStringLiteral("8730")};
    QCommandLineOption size{QStringLiteral("size"),
                            QStringLiteral("Number of names to generate (default 20000)."),
                            QStringLiteral("count"), QStringLiteral("20000")};
    QCommandLineOption csv{QStringLiteral("csv"),
                           QStringLiteral("Serve the names of this file instead, one a line: "
                                          "domain,yyyy-MM-dd hh:mm:ss[,Delete|Pre-Release"
                                          "[,suggestion]]."),
                           QStringLiteral("file")};
    QCommandLineOption seed{QStringLiteral("seed"),
                            QStringLiteral("Seed of the generated names (default: today's date)."),
                            QStringLiteral("number")};
    QCommandLineOption latency{QStringLiteral("latency"),
                               QStringLiteral("Delay of every answer in milliseconds."),
                               QStringLiteral("ms"), QStringLiteral("0")};
    QCommandLineOption jitter{QStringLiteral("jitter"),
                              QStringLiteral("Up to this many milliseconds more, at random."),
                              QStringLiteral("ms"), QStringLiteral("0")};
    QCommandLineOption failShare{
        QStringLiteral("fail-share"),
        QStringLiteral("Share of list, availability and RDAP domain answers that "
                       "fail, 0 to 1."),
        QStringLiteral("share"), QStringLiteral("0")};
    QCommandLineOption failMode{
        QStringLiteral("fail-mode"),
        QStringLiteral("How they fail: hang (answer after 6 s), 500, or drop (close the "
                       "connection)."),
        QStringLiteral("mode"), QStringLiteral("hang")};
    QCommandLineOption rateLimit{
        QStringLiteral("rate-limit"),
        QStringLiteral("Availability questions per second and client before refusing "
                       "(default 20, 0: no limit)."),
        QStringLiteral("count"), QStringLiteral("20")};
    QCommandLineOption registryRateLimit{
        QStringLiteral("registry-rate-limit"),
        QStringLiteral("RDAP domain questions, and WHOIS queries, per second and client before "
                       "refusing them (RDAP: 429 with Retry-After: 1; WHOIS: a \"limit "
                       "exceeded\" text); default 5, 0: no limit."),
        QStringLiteral("count"), QStringLiteral("5")};
    QCommandLineOption whoisPort{
        QStringLiteral("whois-port"),
        QStringLiteral("Port on 127.0.0.1 of the WHOIS service for .cn and the other top-level "
                       "domains without RDAP (default 8743, 0: no WHOIS service)."),
        QStringLiteral("port"), QStringLiteral("8743")};
    QCommandLineOption dropHour{
        QStringLiteral("drop-hour"),
        QStringLiteral("Hour of its deletion day (local time, 0-23, default %1) from which a "
                       "listed name is free.")
            .arg(kDefaultDropHour),
        QStringLiteral("hour"), QString::number(kDefaultDropHour)};
    QCommandLineOption dropMinute{
        QStringLiteral("drop-minute"),
        QStringLiteral("Minute of the drop hour (0-59, default 0) from which a listed name is "
                       "free."),
        QStringLiteral("minute"), QStringLiteral("0")};
    QCommandLineOption dropSpread{
        QStringLiteral("drop-spread"),
        QStringLiteral("Each listed name drops at its own second within this many seconds after "
                       "the drop hour, the same second every run, in the availability answers, "
                       "RDAP and WHOIS alike (default 0: all at the hour). With a spread, every "
                       "row of the list shows its name's drop moment as its deletion time. The "
                       "drop stays on its deletion day: the hour's seconds and the spread make "
                       "at most 86400."),
        QStringLiteral("seconds"), QStringLiteral("0")};
    QCommandLineOption caughtPercent{
        QStringLiteral("caught-percent"),
        QStringLiteral("Percent of listed names caught by someone else at their drop; they stay "
                       "registered (0-100, default %1). The same names every run.")
            .arg(kDefaultCaughtPercent),
        QStringLiteral("percent"), QString::number(kDefaultCaughtPercent)};
    QCommandLineOption clockOffset{
        QStringLiteral("clock-offset"),
        QStringLiteral("Run the stand-in's clock this far ahead (behind if negative) of the "
                       "machine's: seconds, or days, hours, minutes and seconds such as 3d4h or "
                       "-2h30m (default 0). The list's coming and past deletions, the "
                       "availability answers and the log follow it; generated names keep the "
                       "dates of the real day, so a restart with a larger offset reaches their "
                       "drops."),
        QStringLiteral("offset"), QStringLiteral("0")};
    QCommandLineOption log{QStringLiteral("log"),
                           QStringLiteral("Write one line per request to this file (- for "
                                          "standard output)."),
                           QStringLiteral("file")};
};

std::optional<qulonglong> Number(const QString& text, qulonglong highest) {
    bool ok = false;
    const qulonglong number = text.trimmed().toULongLong(&ok);
    if (!ok || number > highest)
        return std::nullopt;
    return number;
}

QString Invalid(const QCommandLineOption& option, const QString& value) {
    return QStringLiteral("invalid value for --%1: %2").arg(option.names().constFirst(), value);
}

} // namespace

SandboxCommandLine ParseSandboxCommandLine(const QStringList& arguments) {
    SandboxCommandLine result;
    const Options o;
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Local stand-in for the deleted-domain list service (/?...), the availability-check "
        "service (/check/check_ac1.cgi?domain=...) and the registries, on 127.0.0.1:\n"
        "  RDAP bootstrap file  http://127.0.0.1:PORT/rdap/dns.json (names the RDAP service "
        "below for every top-level domain of the data set, and com, net, org, except those "
        "answered over WHOIS)\n"
        "  RDAP service         http://127.0.0.1:PORT/rdap/ (domain/NAME)\n"
        "  WHOIS service        127.0.0.1:WHOIS-PORT (default 8743) for cn, de, jp, uk, co, io, "
        "ru, eu, me, us\n"
        "  Daily drop lists     http://127.0.0.1:PORT/lists/YYYY-MM-DD.txt and .csv (the names "
        "deleted on that day, one a line or as a table)\n"
        "The program's settings file points at them with [registry] "
        "bootstrap=http://127.0.0.1:8730/rdap/dns.json and whois=127.0.0.1:8743.\n"
        "A listed name is held until its drop, in redemption period from 35 days before it and "
        "pending delete from 5 days before it; its expiry lies 75 days before the drop. After "
        "the drop it has no record, unless it was caught: then it is held again, registered at "
        "the drop. A name the data set does not hold is held, or has no record, for good, as "
        "the availability answers say."));
    const QCommandLineOption help = parser.addHelpOption();
    parser.addOptions({o.port, o.size, o.csv, o.seed, o.latency, o.jitter, o.failShare, o.failMode,
                       o.rateLimit, o.registryRateLimit, o.whoisPort, o.dropHour, o.dropMinute,
                       o.dropSpread, o.caughtPercent, o.clockOffset, o.log});
    result.usage = parser.helpText();
    if (!parser.parse(arguments)) {
        result.error = parser.errorText();
        return result;
    }
    if (parser.isSet(help)) {
        result.help = true;
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.error = QStringLiteral("unexpected argument: ") + parser.positionalArguments()[0];
        return result;
    }

    SandboxSettings& s = result.settings;
    const auto read = [&](const QCommandLineOption& option, qulonglong highest) {
        const std::optional<qulonglong> number = Number(parser.value(option), highest);
        if (!number && result.error.isEmpty())
            result.error = Invalid(option, parser.value(option));
        return number.value_or(0);
    };
    s.port = static_cast<int>(read(o.port, 65535));
    s.domainCount = static_cast<size_t>(read(o.size, kLargestDomainCount));
    s.csvPath = parser.value(o.csv);
    if (parser.isSet(o.seed))
        s.seed = read(o.seed, std::numeric_limits<qulonglong>::max());
    s.options.latency = std::chrono::milliseconds(read(o.latency, 600'000));
    s.options.jitter = std::chrono::milliseconds(read(o.jitter, 600'000));
    s.options.checksPerSecond = static_cast<int>(read(o.rateLimit, 1'000'000));
    s.options.registryQuestionsPerSecond = static_cast<int>(read(o.registryRateLimit, 1'000'000));
    if (const int whoisPort = static_cast<int>(read(o.whoisPort, 65535)); whoisPort > 0)
        s.options.whoisPort = whoisPort;
    s.options.drop.hour = static_cast<int>(read(o.dropHour, 23));
    s.options.drop.minute = static_cast<int>(read(o.dropMinute, 59));
    s.options.drop.spreadSeconds = static_cast<int>(read(o.dropSpread, 24 * 3600));
    if (s.options.drop.hour * 3600 + s.options.drop.minute * 60 + s.options.drop.spreadSeconds >
            24 * 3600 &&
        result.error.isEmpty())
        result.error = QStringLiteral("--drop-spread %1 reaches past the deletion day from "
                                      "--drop-hour %2 --drop-minute %3")
                           .arg(s.options.drop.spreadSeconds)
                           .arg(s.options.drop.hour)
                           .arg(s.options.drop.minute);
    s.options.drop.caughtPercent = static_cast<int>(read(o.caughtPercent, 100));
    s.logPath = parser.value(o.log);
    if (const auto offset = ParseClockOffset(parser.value(o.clockOffset)))
        s.clockOffset = *offset;
    else if (result.error.isEmpty())
        result.error = Invalid(o.clockOffset, parser.value(o.clockOffset));

    bool ok = false;
    const double share = parser.value(o.failShare).trimmed().toDouble(&ok);
    if (!ok || !(share >= 0.0 && share <= 1.0)) {
        if (result.error.isEmpty())
            result.error = Invalid(o.failShare, parser.value(o.failShare));
    } else {
        s.options.failureShare = share;
    }
    const QString mode = parser.value(o.failMode).trimmed().toLower();
    if (mode == u"hang") {
        s.options.failureMode = FailureMode::Hang;
    } else if (mode == u"500") {
        s.options.failureMode = FailureMode::ServerError;
    } else if (mode == u"drop") {
        s.options.failureMode = FailureMode::DropConnection;
    } else if (result.error.isEmpty()) {
        result.error = Invalid(o.failMode, parser.value(o.failMode));
    }
    return result;
}
