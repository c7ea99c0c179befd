// The result list's context menu: export to CSV and copy the selected names.
#include "app/Form1.h"

#include "results/ExportRows.h"

#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMessageBox>
#include <QTableView>

#include <algorithm>

QMenu* Form1::buildResultListMenu() {
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("ResultListMenu"));
    QAction* exportAction = menu->addAction(QStringLiteral("导出为CSV..."));
    connect(exportAction, &QAction::triggered, this, &Form1::chooseFileAndExport);
    QAction* copyAction = menu->addAction(QStringLiteral("复制域名"));
    copyAction->setEnabled(ui.ListView1->selectionModel()->hasSelection());
    connect(copyAction, &QAction::triggered, this, &Form1::copySelectedDomains);
    QAction* recheckAction = menu->addAction(QStringLiteral("重新验证未验证的域名"));
    recheckAction->setEnabled(m_guard.passes());
    connect(recheckAction, &QAction::triggered, this, &Form1::RecheckUnverified);
    return menu;
}

void Form1::showResultListMenu(const QPoint& at) {
    QMenu* menu = buildResultListMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(ui.ListView1->viewport()->mapToGlobal(at));
}

void Form1::chooseFileAndExport() {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("导出为CSV"),
                                                      QStringLiteral("morrowcatch.csv"),
                                                      QStringLiteral("CSV (*.csv)"));
    if (path.isEmpty())
        return;
    const QString error = exportRowsTo(path);
    if (!error.isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("导出失败"),
                             QStringLiteral("无法写入文件 %1：%2").arg(path, error));
    }
}

QString Form1::exportRowsTo(const QString& path) {
    return WriteRowsCsv(m_rows, path);
}

void Form1::copySelectedDomains() {
    QList<int> selected;
    for (const QModelIndex& index : ui.ListView1->selectionModel()->selectedRows())
        selected << index.row();
    std::sort(selected.begin(), selected.end());
    QStringList names;
    for (int row : selected)
        names << m_rows.cell(row, ResultListModel::Domain);
    QGuiApplication::clipboard()->setText(names.join(u'\n'));
}
