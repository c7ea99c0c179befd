#include "app/DropListAddress.h"

#include <QNetworkReply>

QUrl DropListAddressOf(const QString& typed) {
    const QString trimmed = typed.trimmed();
    if (trimmed.isEmpty())
        return {};
    QUrl address(trimmed, QUrl::StrictMode);
    if (address.scheme().isEmpty())
        address = QUrl(QStringLiteral("http://") + trimmed, QUrl::StrictMode);
    const QString scheme = address.scheme().toLower();
    if (!address.isValid() || address.host().isEmpty() || (scheme != u"http" && scheme != u"https"))
        return {};
    return address;
}

QString DownloadProblemText(const DownloadOutcome& outcome) {
    using Kind = DownloadOutcome::Kind;
    switch (outcome.kind) {
    case Kind::Done:
        return {};
    case Kind::HttpError:
        return QStringLiteral("下载删除列表失败：服务器回答 HTTP %1。").arg(outcome.httpStatus);
    case Kind::TimedOut:
        return QStringLiteral("下载删除列表失败：服务器超过 5 秒没有发来数据。");
    case Kind::TooLarge:
        return QStringLiteral("下载删除列表失败：文件超过 256 MiB 的上限。");
    case Kind::WriteFailed:
        return QStringLiteral("下载删除列表失败：无法写入临时文件（磁盘可能已满）。");
    case Kind::Failed:
        break;
    }
    switch (outcome.errorCode) {
    case QNetworkReply::HostNotFoundError:
        return QStringLiteral("下载删除列表失败：找不到服务器。");
    case QNetworkReply::ConnectionRefusedError:
        return QStringLiteral("下载删除列表失败：服务器拒绝连接。");
    case QNetworkReply::SslHandshakeFailedError:
        return QStringLiteral("下载删除列表失败：无法建立安全连接（证书无效）。");
    case QNetworkReply::RemoteHostClosedError:
        return QStringLiteral("下载删除列表失败：连接中断，文件不完整。");
    default:
        return QStringLiteral("下载删除列表失败：网络错误（代码 %1）。").arg(outcome.errorCode);
    }
}
