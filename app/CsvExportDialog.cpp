#include "app/CsvExportDialog.h"

#include "app/PlainMessage.h"

#include <QFileDialog>

void ExportCsvWithDialog(QWidget* parent, const QString& suggestedName,
                         const std::function<QString(const QString& path)>& write) {
    const QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("导出为CSV"),
                                                      suggestedName, QStringLiteral("CSV (*.csv)"));
    if (path.isEmpty())
        return;
    const QString error = write(path);
    if (!error.isEmpty()) {
        ShowPlainMessage(parent, QStringLiteral("导出失败"),
                         QStringLiteral("无法写入文件 %1：%2").arg(path, error));
    }
}
