// "设置" from the main window: Ctrl+, opens it over the file, saving checks and writes the
// values with the rest of the file kept, the next search and check go to the saved addresses,
// and a wrong settings file is told at start.
#include "app/SettingsWindow.h"
#include "MainWindowFixture.h"
#include "support/ListPages.h"
#include "support/TestServer.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class SettingsWindowTest : public ::testing::Test {
protected:
    SettingsWindowTest() {
        QFile file(path());
        if (file.open(QIODevice::WriteOnly))
            file.write("[watchListWindow]\ngeometry=kept\n[registry]\nspacing=2000\n");
    }
    QString path() const { return QDir(folder.path()).filePath(QStringLiteral("m.conf")); }
    AppConfig config() const {
        AppConfig config = testConfig();
        config.settingsPath = path();
        return config;
    }
    SettingsWindow* open(MainWindow& form) {
        form.show();
        if (!QTest::qWaitForWindowActive(&form))
            ADD_FAILURE() << "the window did not become active";
        QTest::keyClick(&form, Qt::Key_Comma, Qt::ControlModifier);
        return form.settingsWindow();
    }

    QTemporaryDir folder;
};

} // namespace

TEST_F(SettingsWindowTest, ctrlCommaOpensTheFilesValuesAndSavingWritesThemAtOnce) {
    TestServer services([](const httplib::Request& request, httplib::Response& response) {
        if (request.path == "/")
            answerText(response, ListPages::pageOfDomains("1", {"found.com"}));
        else
            answerText(response, "|210|", "text/plain");
    });
    MainWindow form(config());
    SettingsWindow* settings = open(form);
    ASSERT_NE(settings, nullptr);
    EXPECT_TRUE(settings->isVisible());
    EXPECT_EQ(settings->windowTitle(), QStringLiteral("设置"));
    auto* spacing = control<QSpinBox>(*settings, "SettingsSpacing");
    EXPECT_EQ(spacing->value(), 2000);

    control<QLineEdit>(*settings, "SettingsListBase")->setText(services.baseUrl() + u"/?");
    control<QLineEdit>(*settings, "SettingsCheckBase")->setText(services.baseUrl());
    control<QLineEdit>(*settings, "SettingsWhois")->setText(QStringLiteral("127.0.0.1:4343"));
    spacing->setValue(1500);
    control<QCheckBox>(*settings, "SettingsEnabled")->setChecked(false);
    QTest::mouseClick(control<QPushButton>(*settings, "SettingsSave"), Qt::LeftButton);
    EXPECT_FALSE(settings->isVisible());

    const SettingsReading reading = ReadSettingsFile(path(), BuildSettingsDefaults());
    EXPECT_TRUE(reading.problems.isEmpty());
    EXPECT_EQ(reading.values.listBase, services.baseUrl() + u"/?");
    EXPECT_EQ(reading.values.checkBase, services.baseUrl());
    EXPECT_EQ(reading.values.whoisOverride, QStringLiteral("127.0.0.1:4343"));
    EXPECT_EQ(reading.values.spacingMs, 1500);
    EXPECT_FALSE(reading.values.enabled);
    EXPECT_EQ(QSettings(path(), QSettings::IniFormat)
                  .value(QStringLiteral("watchListWindow/geometry"))
                  .toString(),
              QStringLiteral("kept"));

    // The next search and check go to the saved addresses.
    QTest::mouseClick(form.controls().searchButton, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.rows().count() == 1; }, 20000));
    form.controls().targetDomainEdit->setText(QStringLiteral("typed.com"));
    QTest::mouseClick(form.controls().targetCheckButton, Qt::LeftButton);
    bool asked = false;
    for (const std::string& target : services.targets())
        asked = asked || target.find("typed.com") != std::string::npos;
    EXPECT_TRUE(asked);
}

TEST_F(SettingsWindowTest, aWrongValueIsNamedAndNothingIsWritten) {
    struct Case {
        const char* field;
        const char16_t* text;
        const char16_t* named;
    };
    const Case cases[] = {
        {"SettingsListBase", u"list.example", u"删除域名列表服务"},
        {"SettingsCheckBase", u"ftp://check.example", u"域名查询服务"},
        {"SettingsBootstrap", u"", u"RDAP 引导文件"},
        {"SettingsWhois", u"whois.example", u"WHOIS 服务器"},
    };
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    MainWindow form(config());
    const QString listBase = form.config().listBase;
    SettingsWindow* settings = open(form);
    ASSERT_NE(settings, nullptr);
    for (const Case& c : cases) {
        settings->load();
        control<QLineEdit>(*settings, c.field)->setText(QString::fromUtf16(c.text));
        EXPECT_FALSE(settings->save()) << c.field;
        const QString problems = control<QLabel>(*settings, "SettingsProblems")->text();
        EXPECT_TRUE(problems.startsWith(QString::fromUtf16(c.named))) << problems.toStdString();
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), before) << c.field;
        file.close();
    }
    EXPECT_EQ(form.config().listBase, listBase);
}

TEST_F(SettingsWindowTest, aWrongSettingsFileIsToldAtStartAndTheWindowShowsIt) {
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("[registry]\nspacing=soon\n");
    file.close();
    AppConfig config = AppConfig::fromSettingsFile(path());
    config.homePage = testConfig().homePage;
    config.registry.enabled = false;
    MainWindow form(std::move(config));
    auto* message = form.findChild<QMessageBox*>(QStringLiteral("SettingsFileMessage"));
    ASSERT_TRUE(message);
    EXPECT_EQ(message->textFormat(), Qt::PlainText);
    EXPECT_TRUE(message->text().contains(QStringLiteral("[registry] spacing")));
    message->close();
    SettingsWindow* settings = open(form);
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(control<QSpinBox>(*settings, "SettingsSpacing")->value(), 1000);
    EXPECT_TRUE(control<QLabel>(*settings, "SettingsProblems")
                    ->text()
                    .contains(QStringLiteral("[registry] spacing")));
}
