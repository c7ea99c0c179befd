#pragma once

#include "web/PageRequest.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <memory>

class QIODevice;
class QNetworkAccessManager;
class QNetworkReply;

// How a download ended.
struct DownloadOutcome {
    enum class Kind {
        Done,        // a 2xx answer, its whole body written
        HttpError,   // any other HTTP status; httpStatus says which
        TimedOut,    // no byte came within the silence limit
        Failed,      // the connection failed; errorCode is the QNetworkReply error number
        TooLarge,    // the body passed the limit and was abandoned
        WriteFailed, // the target would not take the bytes
    };

    Kind kind = Kind::Failed;
    int httpStatus = 0;
    int errorCode = 0;
    qint64 bytes = 0;    // written to the target
    QString contentType; // as the server named it
};

// Downloads one address into a device under the program's request rules, for files far
// larger than a page: the body goes to the device as it comes, up to a limit, so memory stays
// bounded. The time limit counts silence, a stretch without a byte, instead of the whole
// answer: a big file that keeps coming is not cut off. Ends with finished(), once, unless
// aborted first.
class FileDownload : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kMaxFileBytes = qint64{256} * 1024 * 1024;

    explicit FileDownload(QObject* parent = nullptr);
    ~FileDownload() override;

    bool isRunning() const { return m_reply != nullptr; }
    // The device must stay open and alive until finished() or abort().
    void start(const QString& address, QIODevice& target, qint64 limit = kMaxFileBytes,
               std::chrono::nanoseconds silenceLimit = kFetchTimeLimit);
    // Ends the download in flight without a finished().
    void abort();

signals:
    // total is -1 while the size is unknown.
    void progress(qint64 received, qint64 total);
    void finished(const DownloadOutcome& outcome);

private:
    void writeAvailable();
    DownloadOutcome readEnd();
    void conclude(const DownloadOutcome& outcome);
    void dropReply();

    std::unique_ptr<QNetworkAccessManager> m_manager;
    QNetworkReply* m_reply = nullptr;
    QIODevice* m_target = nullptr;
    qint64 m_limit = kMaxFileBytes;
    qint64 m_written = 0;
    bool m_tooLarge = false;
    bool m_writeFailed = false;
    QTimer m_silence;
};
