// Availability answers that break the rules: invalid UTF-8 and NUL bytes around the markers,
// and answers that break off, never end or go round in redirects. A failed question never
// reads as free, every other row still gets its verdict, and the next check works.
#include "HostileWindow.h"
#include "RawServer.h"
#include "support/Rows.h"
#include "support/TestServer.h"
#include "support/UserTexts.h"
#include "support/WorkspaceWithHistory.h"
#include "verify/VerifyListedDomains.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>

using namespace std::chrono_literals;
using namespace UserTexts;

namespace {

std::string bytes(const char* text, size_t size) {
    return std::string(text, size);
}

} // namespace

TEST(HostileAnswers, invalidUtf8AndNulBytesAroundTheMarkersAreReadCharacterForCharacter) {
    const std::map<std::string, std::string> answers = {
        {"taken.com", bytes("\xff\0|211|\xfe", 8)},
        {"garbage.com", bytes("\0\0\xff\xfe", 4)},
        {"split.com", bytes("|21\0"
                            "1|",
                            6)},
        // Appended rather than "\xff" + ...: GCC 12 warns falsely (-Wrestrict) on that in Release.
        {"refused.com",
         std::string("\xff").append(ServiceMarkers::kRefusal).append(bytes("\0|211|", 6))},
        {"bom.com", "\xef\xbb\xbf|211|"},
        {"typed.com", bytes("\0", 1)}};
    TestServer server([&](const httplib::Request& request, httplib::Response& response) {
        const auto answer = answers.find(request.get_param_value("domain"));
        answerText(response, answer != answers.end() ? answer->second : "|211|", "text/plain");
    });
    HostileWindow window(server.baseUrl());
    ResultListModel& rows = window.form.rows();
    Rows::append(rows, QStringLiteral("taken.com"));
    Rows::append(rows, QStringLiteral("garbage.com"));
    Rows::append(rows, QStringLiteral("split.com"));
    Rows::append(rows, QStringLiteral("refused.com"), Rows::Verdict::Free);
    Rows::append(rows, QStringLiteral("bom.com"));

    window.checkEveryName();

    EXPECT_EQ(window.status(), kAllVerified);
    EXPECT_TRUE(window.wrote(kRateRefused));
    // Without either marker an answer counts as free, whatever else it holds.
    EXPECT_EQ(window.column(ResultListModel::Verdict),
              (std::vector<QString>{kRegistered, kFree, kFree, kFree, kRegistered}));
    EXPECT_TRUE(window.form.rows().row(0).subdued);
    EXPECT_FALSE(window.form.rows().row(1).subdued);

    window.checkTypedName(QStringLiteral("typed.com"));
    EXPECT_EQ(window.status(), kTypedVerified);
    ASSERT_EQ(window.rowCount(), 6);
    EXPECT_EQ(window.cell(5, ResultListModel::Domain), QStringLiteral("typed.com"));
    EXPECT_EQ(window.cell(5, ResultListModel::Verdict), kFree);
}

namespace {

// What the availability service does with the question about the one name under attack.
enum class BrokenAnswer { ResetAtOnce, ResetAfterAPause, HundredMebibytes, RedirectLoop };

// A registered name's answer, cut before its marker: a client that takes the cut body for
// the whole answer reads the name as free.
void answerBroken(RawServer::Connection& connection, BrokenAnswer kind) {
    const std::string registered =
        "<html><body>" + std::string(4000, '-') + ServiceMarkers::kRegistered + "</body></html>";
    switch (kind) {
    case BrokenAnswer::ResetAtOnce:
    case BrokenAnswer::ResetAfterAPause: {
        const std::string answer = httpAnswer(registered);
        if (connection.send(answer.substr(0, answer.find(ServiceMarkers::kRegistered))))
            connection.wait(kind == BrokenAnswer::ResetAtOnce ? 0ms : 20ms);
        connection.reset();
        return;
    }
    case BrokenAnswer::HundredMebibytes: {
        constexpr size_t kServedBytes = 100u * 1024 * 1024;
        if (!connection.send(
                httpHead("200 OK", "Content-Length: " + std::to_string(kServedBytes) + "\r\n")))
            return;
        const std::string block(64 * 1024, ' ');
        for (size_t sent = 0; sent < kServedBytes && connection.send(block); sent += block.size())
            ;
        return;
    }
    case BrokenAnswer::RedirectLoop: {
        const std::string& request = connection.request();
        const size_t targetStart = request.find(' ') + 1;
        const std::string target =
            request.substr(targetStart, request.find(' ', targetStart) - targetStart);
        connection.send(httpHead("302 Found", "Location: " + target + "\r\nContent-Length: 0\r\n"));
        return;
    }
    }
}

struct BrokenAnswerCase {
    const char* name;
    BrokenAnswer kind;
};

void PrintTo(const BrokenAnswerCase& brokenAnswer, std::ostream* out) {
    *out << brokenAnswer.name;
}

} // namespace

class BrokenAvailabilityAnswer : public ::testing::TestWithParam<BrokenAnswerCase> {};

TEST_P(BrokenAvailabilityAnswer, givesNoVerdictLosesNoOtherAndTheNextCheckWorks) {
    std::atomic<bool> broken{true};
    RawServer server([&](RawServer::Connection& connection) {
        const std::string& request = connection.request();
        if (request.find("domain=b.com ") != std::string::npos && broken)
            answerBroken(connection, GetParam().kind);
        else if (request.find("domain=c.com ") != std::string::npos)
            connection.send(httpAnswer("|210|"));
        else
            connection.send(httpAnswer(ServiceMarkers::kRegistered));
    });
    WorkspaceWithHistory workspace;
    workspace.addRow(QStringLiteral("a.com"));
    workspace.addRow(QStringLiteral("b.com"), Rows::Verdict::Registered);
    workspace.addRow(QStringLiteral("c.com"));

    VerifyListedDomains(server.baseUrl(), workspace.workspace);

    EXPECT_TRUE(workspace.wrote(kNoAnswer)) << "the failed question is reported";
    EXPECT_EQ(workspace.status.text(), kAllVerified);
    EXPECT_EQ(Rows::column(workspace.rows, ResultListModel::Verdict),
              (std::vector<QString>{kRegistered, kRegistered, kFree}))
        << "b.com keeps the verdict it had";

    broken = false;
    workspace.history.clear();
    VerifyListedDomains(server.baseUrl(), workspace.workspace);
    EXPECT_FALSE(workspace.wrote(kNoAnswer));
    EXPECT_EQ(workspace.status.text(), kAllVerified);
    EXPECT_TRUE(workspace.rows.row(1).subdued);
}

INSTANTIATE_TEST_SUITE_P(
    HostileAnswers, BrokenAvailabilityAnswer,
    ::testing::Values(BrokenAnswerCase{"resetAtOnce", BrokenAnswer::ResetAtOnce},
                      BrokenAnswerCase{"resetAfterAPause", BrokenAnswer::ResetAfterAPause},
                      BrokenAnswerCase{"hundredMebibytes", BrokenAnswer::HundredMebibytes},
                      BrokenAnswerCase{"redirectLoop", BrokenAnswer::RedirectLoop}),
    [](const ::testing::TestParamInfo<BrokenAnswerCase>& info) { return info.param.name; });
