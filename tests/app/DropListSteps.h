#pragma once

// Steps the drop-list import tests share: running an import to its end, the rows it left and the
// message it gave.
#include "MainWindowFixture.h"
#include "app/DropListCommand.h"

#include <QMessageBox>
#include <QStringList>
#include <QTest>

#include <functional>

// Every row as "number name date".
inline QStringList DropListRowTexts(MainWindow& form) {
    QStringList texts;
    for (int row = 0; row < form.rows().count(); ++row) {
        texts << form.rows().cell(row, ResultListModel::Number) + u' ' +
                     form.rows().cell(row, ResultListModel::Domain) + u' ' +
                     form.rows().cell(row, ResultListModel::DeletionTime);
    }
    return texts;
}

// Runs start (an import of a file or of an address) and waits for the import's end; false when
// it did not start or did not end in time.
inline bool RunDropListImport(MainWindow& form, const std::function<void()>& start) {
    int ends = 0;
    const QMetaObject::Connection counting = QObject::connect(
        &form.dropListImport(), &DropListCommand::finished, &form, [&ends] { ++ends; });
    start();
    const bool ended =
        form.dropListImport().isRunning() && QTest::qWaitFor([&] { return ends > 0; }, 20000);
    // The counter lives on this stack only.
    QObject::disconnect(counting);
    return ended;
}

inline QMessageBox* DropListMessage(const MainWindow& form) {
    return form.findChild<QMessageBox*>(QStringLiteral("DropListMessage"));
}
