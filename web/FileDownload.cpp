#include "web/FileDownload.h"

#include <QIODevice>
#include <QNetworkAccessManager>
#include <QNetworkReply>

namespace {

constexpr qint64 kReadAheadBytes = 1024 * 1024;

} // namespace

FileDownload::FileDownload(QObject* parent) : QObject(parent) {
    m_silence.setSingleShot(true);
    m_silence.setTimerType(Qt::PreciseTimer);
    connect(&m_silence, &QTimer::timeout, this, [this] {
        DownloadOutcome outcome;
        outcome.kind = DownloadOutcome::Kind::TimedOut;
        outcome.bytes = m_written;
        conclude(outcome);
    });
}

FileDownload::~FileDownload() {
    abort();
}

void FileDownload::start(const QString& address, QIODevice& target, qint64 limit,
                         std::chrono::nanoseconds silenceLimit) {
    abort();
    m_target = &target;
    m_limit = limit;
    m_written = 0;
    m_tooLarge = false;
    m_writeFailed = false;
    m_manager = std::make_unique<QNetworkAccessManager>();
    m_reply = m_manager->get(MakePageRequest(address));
    // Qt's network thread would otherwise read ahead without bound while the disk is slow.
    m_reply->setReadBufferSize(kReadAheadBytes);
    m_silence.setInterval(std::chrono::ceil<std::chrono::milliseconds>(silenceLimit));
    connect(m_reply, &QIODevice::readyRead, this, &FileDownload::writeAvailable);
    connect(m_reply, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64 total) {
        m_silence.start();
        emit progress(received, total);
    });
    connect(m_reply, &QNetworkReply::finished, this, [this] { conclude(readEnd()); });
    m_silence.start();
}

void FileDownload::writeAvailable() {
    if (m_tooLarge || m_writeFailed)
        return;
    m_silence.start();
    const QByteArray bytes = m_reply->readAll();
    if (m_written + bytes.size() > m_limit) {
        m_tooLarge = true;
        m_reply->abort();
        return;
    }
    if (m_target->write(bytes) != bytes.size()) {
        m_writeFailed = true;
        m_reply->abort();
        return;
    }
    m_written += bytes.size();
}

DownloadOutcome FileDownload::readEnd() {
    writeAvailable();
    DownloadOutcome outcome;
    outcome.bytes = m_written;
    outcome.contentType = m_reply->header(QNetworkRequest::ContentTypeHeader).toString();
    if (m_tooLarge) {
        outcome.kind = DownloadOutcome::Kind::TooLarge;
        return outcome;
    }
    if (m_writeFailed) {
        outcome.kind = DownloadOutcome::Kind::WriteFailed;
        return outcome;
    }
    const QVariant httpStatus = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const QNetworkReply::NetworkError error = m_reply->error();
    if (!httpStatus.isValid() || IsTransportFailure(error)) {
        outcome.errorCode =
            error != QNetworkReply::NoError ? error : QNetworkReply::ProtocolUnknownError;
        return outcome;
    }
    outcome.httpStatus = httpStatus.toInt();
    if (outcome.httpStatus < 200 || outcome.httpStatus > 299) {
        outcome.kind = DownloadOutcome::Kind::HttpError;
        return outcome;
    }
    // A connection reset mid-body can end in a silent resend that reports success with only
    // part of the body; a file cut short is a failed download, never a list.
    const QVariant announced = m_reply->header(QNetworkRequest::ContentLengthHeader);
    if (announced.isValid() && announced.toLongLong() != m_written) {
        outcome.errorCode = QNetworkReply::RemoteHostClosedError;
        return outcome;
    }
    outcome.kind = DownloadOutcome::Kind::Done;
    return outcome;
}

void FileDownload::conclude(const DownloadOutcome& outcome) {
    if (!m_reply)
        return;
    dropReply();
    emit finished(outcome);
}

void FileDownload::abort() {
    dropReply();
}

void FileDownload::dropReply() {
    m_silence.stop();
    m_target = nullptr;
    if (!m_reply)
        return;
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    AbandonReply(reply, this);
    m_manager.release()->deleteLater();
}
