// Importing a drop list file into the result list: the window's criteria, the numbering, the
// end on the status line, files that cannot be read, Esc, and the busy guard.
#include "DropListSteps.h"
#include "HomePageSpy.h"
#include "MainWindowFixture.h"
#include "app/DropListCommand.h"
#include "support/TestServer.h"
#include "support/UserTexts.h"

#include <QFile>
#include <QMessageBox>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <functional>
#include <semaphore>

namespace {

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        ADD_FAILURE() << "cannot write " << path.toStdString();
    return path;
}

ResultRow listedRow(const QString& number, const QString& domain) {
    ResultRow row;
    row.cells[ResultListModel::Number] = number;
    row.cells[ResultListModel::Domain] = domain;
    return row;
}

// Starts the import and waits for its end; false when it did not start.
bool importAndWait(MainWindow& form, const QString& path) {
    return RunDropListImport(form, [&] { form.importFile(path); });
}

struct ImportCase {
    const char* label;
    QString fileName;
    QByteArray content;
    std::function<void(const Ui::MainWindow&)> criteria;
    QStringList expectedRows; // after the listed row "1 listed.com "
    QString status;
};

} // namespace

TEST(MainWindowImport, matchingNamesAreAppendedOnceAndNumberedAfterTheListedRows) {
    const std::vector<ImportCase> cases = {
        {"text, keyword and suffix",
         QStringLiteral("list.txt"),
         "# comment\nab1.com\nxy.com\nab2.net\n\nLISTED.com\nab1.com\nab3.com",
         [](const Ui::MainWindow& ui) {
             ui.keywordEdit->setText(QStringLiteral("ab"));
             ui.comCheck->setChecked(true);
             ui.netCheck->setChecked(false);
         },
         {QStringLiteral("2 ab1.com "), QStringLiteral("3 ab3.com ")},
         UserTexts::kSearchFinished},
        {"table, day and type",
         QStringLiteral("list.csv"),
         "domain,deletion date,type\n"
         "a.com,2026-12-11,Pre-Release\n"
         "b.com,2026-12-12,Pre-Release\n"
         "c.com,2026-12-11,Delete\n"
         "listed.com,2026-12-11,Pre-Release\n"
         "d.com,2026-12-11,pre-release\n",
         [](const Ui::MainWindow& ui) {
             ui.comCheck->setChecked(true);
             ui.deletionTypeCombo->setCurrentText(QStringLiteral("Pre-Release"));
             ui.deletionDateCombo->setCurrentText(QStringLiteral("2026-12-11"));
         },
         {QStringLiteral("2 a.com 2026-12-11"), QStringLiteral("3 d.com 2026-12-11")},
         UserTexts::kSearchFinished},
        {"nothing matches",
         QStringLiteral("list.txt"),
         "xy.com\nlisted.com\n",
         [](const Ui::MainWindow& ui) {
             ui.comCheck->setChecked(true);
             ui.keywordEdit->setText(QStringLiteral("zz"));
         },
         {},
         UserTexts::kNothingFound},
        {"only names already listed",
         QStringLiteral("list.txt"),
         "listed.com\n",
         [](const Ui::MainWindow& ui) { ui.comCheck->setChecked(true); },
         {},
         UserTexts::kNothingFound},
    };
    for (const ImportCase& c : cases) {
        SCOPED_TRACE(c.label);
        QTemporaryDir dir;
        MainWindow form(testConfig());
        form.rows().appendRow(listedRow(QStringLiteral("1"), QStringLiteral("listed.com")));
        c.criteria(form.controls());
        ASSERT_TRUE(importAndWait(form, writeFile(dir, c.fileName, c.content)));
        EXPECT_EQ(DropListRowTexts(form),
                  QStringList{QStringLiteral("1 listed.com ")} + c.expectedRows);
        EXPECT_EQ(statusText(form), c.status);
        EXPECT_EQ(DropListMessage(form), nullptr);
        EXPECT_TRUE(form.progressBar()->isHidden());
        EXPECT_EQ(form.controls().searchButton->property("Tag").toString(), QStringLiteral("0"))
            << "the guard lets go";
    }
}

TEST(MainWindowImport, aSecondImportAddsOnlyNamesNotYetListed) {
    QTemporaryDir dir;
    MainWindow form(testConfig());
    ASSERT_TRUE(importAndWait(form, writeFile(dir, QStringLiteral("a.txt"), "a.net\nb.net\n")));
    ASSERT_TRUE(importAndWait(form, writeFile(dir, QStringLiteral("b.txt"), "b.net\nc.net\n")));
    EXPECT_EQ(DropListRowTexts(form),
              (QStringList{QStringLiteral("1 a.net "), QStringLiteral("2 b.net "),
                           QStringLiteral("3 c.net ")}));
}

TEST(MainWindowImport, aFileThatCannotBeReadGivesItsMessageAndNoRows) {
    QTemporaryDir dir;
    const struct {
        const char* label;
        QString path;
        QString messageStart;
    } cases[] = {
        {"missing", dir.filePath(QStringLiteral("none.txt")), QStringLiteral("无法打开文件：")},
        {"binary",
         writeFile(dir, QStringLiteral("b.txt"), QByteArray("a.com\0\x01\x02\nb.com", 14)),
         QStringLiteral("文件含有二进制数据")},
        {"table without a name column", writeFile(dir, QStringLiteral("t.csv"), "x,y\n1,2\n"),
         QStringLiteral("CSV 文件的标题行中找不到域名列")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        MainWindow form(testConfig());
        ASSERT_TRUE(importAndWait(form, c.path));
        EXPECT_EQ(form.rows().count(), 0);
        QMessageBox* message = DropListMessage(form);
        ASSERT_NE(message, nullptr);
        EXPECT_TRUE(message->text().startsWith(c.messageStart)) << message->text().toStdString();
        EXPECT_EQ(message->textFormat(), Qt::PlainText);
        EXPECT_EQ(statusText(form), UserTexts::kFirstPageMissing);
        EXPECT_EQ(form.controls().searchButton->property("Tag").toString(), QStringLiteral("0"));
    }
}

namespace {

// A file of many pieces, each name matching.
QString largeFile(const QTemporaryDir& dir, int names) {
    QByteArray bytes;
    for (int i = 0; i < names; ++i)
        bytes += "name" + QByteArray::number(i) + ".net\n";
    return writeFile(dir, QStringLiteral("large.txt"), bytes);
}

// Holds the reading's thread at its first progress report until released, so that the test
// acts while the reading is certainly under way.
struct FirstPieceHold {
    std::atomic<bool> reached{false};
    std::binary_semaphore go{0};
    bool first = true;

    explicit FirstPieceHold(MainWindow& form) {
        // The large file's names are longer than the window's opening bounds allow.
        form.controls().lengthToEdit->setText(QStringLiteral("12"));
        QObject::connect(
            &form.dropListImport().reading(), &DropListImport::progress,
            &form.dropListImport().reading(),
            [this](qint64, qint64) {
                if (!std::exchange(first, false))
                    return;
                reached = true;
                go.acquire();
            },
            Qt::DirectConnection);
    }
};

} // namespace

TEST(MainWindowImport, escapeStopsTheImportKeepingTheRowsReadSoFar) {
    QTemporaryDir dir;
    constexpr int kNames = 300000;
    const QString path = largeFile(dir, kNames);
    MainWindow form(testConfig());
    FirstPieceHold hold(form);
    int ends = 0;
    QObject::connect(&form.dropListImport(), &DropListCommand::finished, &form,
                     [&ends] { ++ends; });
    form.importFile(path);
    ASSERT_TRUE(QTest::qWaitFor([&] { return hold.reached.load(); }, 20000));
    EXPECT_FALSE(form.progressBar()->isHidden());
    form.stopRunningOperation();
    hold.go.release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ends > 0; }, 20000));

    const int kept = form.rows().count();
    EXPECT_GT(kept, 0);
    EXPECT_LT(kept, kNames / 10) << "stopped after the first piece";
    EXPECT_EQ(form.rows().cell(kept - 1, ResultListModel::Number), QString::number(kept));
    EXPECT_EQ(statusText(form), UserTexts::kSearchFinished);
    EXPECT_EQ(DropListMessage(form), nullptr);
    EXPECT_TRUE(form.progressBar()->isHidden());
}

TEST(MainWindowImport, noSearchStartsWhileImportingAndNoImportWhileSearching) {
    QTemporaryDir dir;
    const QString path = largeFile(dir, 100000);
    std::atomic<int> requests{0};
    TestServer server([&](TestServer& self, const httplib::Request&, httplib::Response& response) {
        ++requests;
        if (self.holdUntilReleased())
            answerText(response, "<html></html>");
    });
    MainWindow form(testConfig(server.baseUrl()));
    {
        FirstPieceHold hold(form);
        form.importFile(path);
        ASSERT_TRUE(QTest::qWaitFor([&] { return hold.reached.load(); }, 20000));
        form.startSearch();
        form.verifyListed();
        form.clearList();
        EXPECT_EQ(requests.load(), 0);
        form.stopRunningOperation();
        hold.go.release();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !form.dropListImport().isRunning(); }, 20000));
    }
    const int imported = form.rows().count();
    EXPECT_GT(imported, 0) << "not cleared under the import";

    bool importStarted = true;
    server.onArrival([&](const std::string&) {
        form.importFile(path);
        importStarted = form.dropListImport().isRunning();
        server.release();
    });
    form.startSearch();
    EXPECT_EQ(requests.load(), 1);
    EXPECT_FALSE(importStarted);
}

TEST(MainWindowImport, closingTheWindowDuringAnImportStopsIt) {
    HomePageSpy browser;
    QTemporaryDir dir;
    constexpr int kNames = 300000;
    const QString path = largeFile(dir, kNames);
    auto form = std::make_unique<MainWindow>(testConfig());
    form->show();
    FirstPieceHold hold(*form);
    form->importFile(path);
    ASSERT_TRUE(QTest::qWaitFor([&] { return hold.reached.load(); }, 20000));
    form->close();
    hold.go.release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->dropListImport().isRunning(); }, 20000));
    EXPECT_LT(form->rows().count(), kNames / 10);
    EXPECT_EQ(DropListMessage(*form), nullptr);
    form.reset();
}
