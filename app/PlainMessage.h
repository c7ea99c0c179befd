#pragma once

#include <QString>

class QMessageBox;
class QWidget;

// A warning shown as plain text (a path or an error text is never read as markup) that holds up
// neither the window nor the watch: it opens and the caller goes on.
QMessageBox* ShowPlainMessage(QWidget* parent, const QString& title, const QString& text);
