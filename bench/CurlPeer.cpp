#include "CurlPeer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

constexpr int kCurlTimeLimitMs = 120000;

QByteArray quoted(const QString& text) {
    return '"' + text.toUtf8() + '"';
}

} // namespace

CurlRun RunCurl(const QStringList& addresses, Connections connections) {
    CurlRun run;
    QTemporaryDir dir;
    if (!dir.isValid())
        return run;
    QFile config(dir.filePath(QStringLiteral("addresses.curlrc")));
    if (!config.open(QIODevice::WriteOnly))
        return run;
    // The program sends this header with every request; curl sends it too.
    config.write("header = \"If-Modified-Since: 0\"\n");
    if (connections == Connections::NewEach)
        config.write("header = \"Connection: close\"\n");
    config.write("write-out = \"%{http_code} %{time_pretransfer} %{time_starttransfer}\\n\"\n");
    for (const QString& address : addresses)
        config.write("url = " + quoted(address) + "\noutput = \"/dev/null\"\n");
    config.close();

    QProcess curl;
    QElapsedTimer clock;
    clock.start();
    curl.start(QStringLiteral("curl"), {QStringLiteral("--silent"), QStringLiteral("--globoff"),
                                        QStringLiteral("--config"), config.fileName()});
    if (!curl.waitForFinished(kCurlTimeLimitMs)) {
        curl.kill();
        curl.waitForFinished();
        return run;
    }
    run.wallSeconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;

    for (const QByteArray& line : curl.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() != 3)
            continue;
        if (fields[0] == "200")
            ++run.answered;
        run.serverSeconds += fields[2].toDouble() - fields[1].toDouble();
    }
    run.ok = curl.exitStatus() == QProcess::NormalExit && curl.exitCode() == 0;
    return run;
}
