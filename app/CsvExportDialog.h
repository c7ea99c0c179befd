#pragma once

#include <QString>

#include <functional>

class QWidget;

// Asks where to write a CSV file, then writes it; a file that cannot be written is told in a
// plain message. write returns an error text, empty on success.
void ExportCsvWithDialog(QWidget* parent, const QString& suggestedName,
                         const std::function<QString(const QString& path)>& write);
