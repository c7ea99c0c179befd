#pragma once

#include "app/MainWindow.h"
#include "ui_MainWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

#include <gtest/gtest.h>

#include <memory>

// A window with its own service addresses and a fixed "today", found by control names.
inline AppConfig testConfig(const QString& serviceBase = QStringLiteral("http://127.0.0.1:9"),
                            QDate today = QDate(2026, 12, 8)) {
    AppConfig config;
    config.listBase = serviceBase + QStringLiteral("/?");
    config.checkBase = serviceBase;
    config.homePage = QUrl(QStringLiteral("morrowcatch-test://home"));
    config.today = [today] { return today; };
    return config;
}

template <typename T> T* control(const QWidget& form, const char* name) {
    T* widget = form.findChild<T*>(QString::fromUtf8(name));
    if (!widget)
        ADD_FAILURE() << "no control named " << name;
    return widget;
}

inline QString statusText(const QWidget& form) {
    return control<QLabel>(form, "StatusBar1.Panel1")->text();
}
