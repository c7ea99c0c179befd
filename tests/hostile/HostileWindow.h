#pragma once

#include "app/MainWindowFixture.h"
#include "support/QStringPrinter.h"
#include "support/Rows.h"

#include <QTest>

#include <algorithm>
#include <vector>

// The window as the user meets it, with both services at one test server's address and every
// status text kept in the order it was written.
class HostileWindow {
public:
    explicit HostileWindow(const QString& serviceBase) : form(testConfig(serviceBase)) {
        QObject::connect(&form.status(), &StatusLine::textChanged, &form,
                         [this](const QString& text) { history.push_back(text); });
    }

    void search() { QTest::mouseClick(form.controls().searchButton, Qt::LeftButton); }
    void checkEveryName() { QTest::mouseClick(form.controls().verifyButton, Qt::LeftButton); }
    void checkTypedName(const QString& name) {
        form.controls().targetDomainEdit->setText(name);
        QTest::mouseClick(form.controls().targetCheckButton, Qt::LeftButton);
    }

    QString status() const { return statusText(form); }
    bool wrote(const QString& text) const {
        return std::find(history.begin(), history.end(), text) != history.end();
    }
    bool wroteStartingWith(const QString& prefix) const {
        return std::any_of(history.begin(), history.end(),
                           [&](const QString& text) { return text.startsWith(prefix); });
    }

    int rowCount() { return form.rows().count(); }
    QString cell(int row, ResultListModel::Column column) { return form.rows().cell(row, column); }
    std::vector<QString> column(ResultListModel::Column column) {
        return Rows::column(form.rows(), column);
    }

    std::vector<QString> history;
    MainWindow form;
};

using Rows::texts;
