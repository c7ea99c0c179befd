#pragma once

#include <QDesktopServices>
#include <QObject>
#include <QUrl>

// Takes the place of the browser for the test scheme, and counts what it was asked to open.
class HomePageSpy : public QObject {
    Q_OBJECT
public:
    explicit HomePageSpy(const QString& scheme = QStringLiteral("morrowcatch-test"))
        : m_scheme(scheme) {
        QDesktopServices::setUrlHandler(m_scheme, this, "open");
    }
    ~HomePageSpy() override { QDesktopServices::unsetUrlHandler(m_scheme); }

    QList<QUrl> opened;

public Q_SLOTS:
    void open(const QUrl& url) { opened << url; }

private:
    QString m_scheme;
};
