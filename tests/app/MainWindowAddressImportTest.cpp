// Importing a drop list from an address: downloaded in the background, read as a file of its
// form would be, failures told plainly, Esc during the download.
#include "DropListSteps.h"
#include "MainWindowFixture.h"
#include "app/DropListCommand.h"
#include "droplist/GzipBytes.h"
#include "support/TestServer.h"
#include "support/UserTexts.h"

#include <QMessageBox>
#include <QProgressBar>
#include <QTest>

namespace {

bool importAddressAndWait(MainWindow& form, const QString& address) {
    return RunDropListImport(form, [&] { form.importAddress(address); });
}

QString messageText(const MainWindow& form) {
    const QMessageBox* message = DropListMessage(form);
    return message ? message->text() : QString();
}

} // namespace

TEST(MainWindowAddressImport, aListOnTheWebIsReadInTheFormItsAddressOrTypeTells) {
    const QByteArray table = "domain,date\nab.com,2026-12-11\nxy.net,2026-12-12\n";
    TestServer server([&](const httplib::Request& request, httplib::Response& response) {
        if (request.path == "/list.txt")
            response.set_content("# today\nab.com\n<b>x</b>.com\ncd.com\n", "text/plain");
        else if (request.path == "/export")
            response.set_content(table.toStdString(), "text/csv; charset=utf-8");
        else if (request.path == "/list.csv.gz")
            response.set_content(GzipBytes(table).toStdString(), "application/gzip");
        else
            response.status = 404;
    });
    const struct {
        const char* label;
        QString address;
        QStringList rows;
        QString status;
        QString messageStart;
    } cases[] = {
        {"text",
         server.baseUrl() + QStringLiteral("/list.txt"),
         {QStringLiteral("1 ab.com "), QStringLiteral("2 cd.com ")},
         UserTexts::kSearchFinished,
         {}},
        {"table by its type",
         server.baseUrl() + QStringLiteral("/export"),
         {QStringLiteral("1 ab.com 2026-12-11")},
         UserTexts::kSearchFinished,
         {}},
        {"packed table by its name",
         server.baseUrl() + QStringLiteral("/list.csv.gz"),
         {QStringLiteral("1 ab.com 2026-12-11")},
         UserTexts::kSearchFinished,
         {}},
        {"no such list",
         server.baseUrl() + QStringLiteral("/gone.txt"),
         {},
         UserTexts::kFirstPageMissing,
         QStringLiteral("下载删除列表失败：服务器回答 HTTP 404")},
        {"nobody listening",
         QStringLiteral("http://127.0.0.1:1/list.txt"),
         {},
         UserTexts::kFirstPageMissing,
         QStringLiteral("下载删除列表失败：服务器拒绝连接")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        MainWindow form(testConfig());
        form.controls().comCheck->setChecked(true);
        form.controls().netCheck->setChecked(false);
        form.controls().deletionDateCombo->setCurrentText(QStringLiteral("2026-12-11"));
        ASSERT_TRUE(importAddressAndWait(form, c.address));
        EXPECT_EQ(DropListRowTexts(form), c.rows);
        EXPECT_EQ(statusText(form), c.status);
        EXPECT_TRUE(messageText(form).startsWith(c.messageStart))
            << messageText(form).toStdString();
        if (c.messageStart.isEmpty()) {
            EXPECT_EQ(messageText(form), QString());
        }
        EXPECT_TRUE(form.progressBar()->isHidden());
        EXPECT_EQ(form.controls().searchButton->property("Tag").toString(), QStringLiteral("0"));
    }
}

TEST(MainWindowAddressImport, anAddressThatIsNotHttpIsToldWithoutAsking) {
    const QString typed[] = {QStringLiteral("ftp://example.com/list.txt"),
                             QStringLiteral("file:///etc/passwd"), QStringLiteral("   "),
                             QStringLiteral("http://")};
    for (const QString& address : typed) {
        SCOPED_TRACE(address.toStdString());
        MainWindow form(testConfig());
        form.importAddress(address);
        EXPECT_FALSE(form.dropListImport().isRunning());
        EXPECT_TRUE(messageText(form).startsWith(QStringLiteral("这不是一个 http 或 https 网址")));
    }
}

TEST(MainWindowAddressImport, escapeDuringTheDownloadEndsItAndFreesTheWindow) {
    TestServer server([](TestServer& self, const httplib::Request&, httplib::Response& response) {
        if (self.holdUntilReleased())
            response.set_content("ab.com\n", "text/plain");
    });
    MainWindow form(testConfig());
    int ends = 0;
    QObject::connect(&form.dropListImport(), &DropListCommand::finished, &form,
                     [&ends] { ++ends; });
    server.onArrival([&](const std::string&) {
        EXPECT_FALSE(form.progressBar()->isHidden());
        form.stopRunningOperation();
    });
    form.importAddress(server.baseUrl() + QStringLiteral("/list.txt"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ends > 0; }, 20000));
    server.release();
    EXPECT_FALSE(form.dropListImport().isRunning());
    EXPECT_EQ(form.rows().count(), 0);
    EXPECT_EQ(statusText(form), UserTexts::kNothingFound);
    EXPECT_EQ(messageText(form), QString());
    EXPECT_EQ(form.controls().searchButton->property("Tag").toString(), QStringLiteral("0"));
    EXPECT_TRUE(form.progressBar()->isHidden());
}
