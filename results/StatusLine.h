#pragma once

#include <QObject>
#include <QString>

// The first panel of the status bar. Every operation reports here; the last writer wins.
// Kept apart from the label so that operations and tests can run without a window.
class StatusLine : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    QString text() const { return m_text; }
    void setText(const QString& text) {
        m_text = text;
        emit textChanged(m_text);
    }

signals:
    void textChanged(const QString& text);

private:
    QString m_text;
};
