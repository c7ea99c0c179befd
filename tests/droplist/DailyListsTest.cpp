#include "sandbox/HandMadeDomains.h"
#include "sandbox/SandboxServer.h"
#include "search/ReadDropList.h"

#include <QBuffer>

#include <gtest/gtest.h>
#include <httplib.h>

namespace {

// The stand-in's daily lists, downloaded and read as drop lists, give the day's names.
TEST(DailyLists, bothFormsReadBackAsTheDaysNames) {
    SandboxServer server(std::make_shared<const DomainCatalog>(HandMadeDomains()), {});
    const int port = server.start(0);
    ASSERT_GT(port, 0);
    httplib::Client client("127.0.0.1", port);
    const struct {
        const char* path;
        DropListForm form;
        std::vector<std::string> names;
    } cases[] = {
        {"/lists/2026-12-07.txt", DropListForm::Text, {"1212.net", "ab88.com", "kyky.com"}},
        {"/lists/2026-12-07.csv", DropListForm::Csv, {"1212.net", "ab88.com", "kyky.com"}},
        {"/lists/2026-12-12.csv", DropListForm::Csv, {"1221.com"}},
        {"/lists/2020-01-01.txt", DropListForm::Text, {}},
    };
    for (const auto& c : cases) {
        const auto answer = client.Get(c.path);
        ASSERT_TRUE(answer) << c.path;
        ASSERT_EQ(answer->status, 200) << c.path;
        QByteArray body = QByteArray::fromStdString(answer->body);
        QBuffer buffer(&body);
        buffer.open(QIODevice::ReadOnly);
        std::vector<std::string> names;
        std::vector<qint32> days;
        DropListCallbacks callbacks;
        callbacks.rows = [&](std::vector<ResultRow>&& rows) {
            for (const ResultRow& row : rows) {
                names.push_back(row.cells[ResultListModel::Domain].toStdString());
                days.push_back(row.deletionDay);
            }
        };
        const DropListOutcome outcome = ReadDropList(buffer, c.form, {}, kToday, callbacks);
        EXPECT_TRUE(outcome.problem.isEmpty()) << c.path;
        EXPECT_EQ(names, c.names) << c.path;
        EXPECT_EQ(outcome.counts.notNames, 0) << c.path;
        if (c.form == DropListForm::Csv && !names.empty()) {
            EXPECT_NE(days.front(), ResultRow::kNoDate) << c.path;
        }
    }
    EXPECT_EQ(client.Get("/lists/2026-13-40.txt")->status, 404);
    EXPECT_EQ(client.Get("/lists/2026-12-07.html")->status, 404);
}

} // namespace
