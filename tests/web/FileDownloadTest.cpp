// Downloading a big file under the request rules: the body lands in the device, the limit
// and silence end it, and nothing short or failed passes for a whole file.
#include "web/FileDownload.h"
#include "droplist/GzipBytes.h"
#include "support/TestServer.h"

#include <QBuffer>
#include <QNetworkReply>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>

using namespace std::chrono_literals;

namespace {

using Kind = DownloadOutcome::Kind;

// A type the server does not compress: compression would hold small pieces back.
constexpr const char* kUncompressed = "application/octet-stream";

struct Ended {
    DownloadOutcome outcome;
    QByteArray written;
};

// Runs one download into a buffer and waits for its end.
std::optional<Ended> download(const QString& address, qint64 limit = 1024,
                              std::chrono::nanoseconds silence = kFetchTimeLimit,
                              QIODevice::OpenMode mode = QIODevice::WriteOnly) {
    QBuffer buffer;
    buffer.open(mode);
    FileDownload download;
    std::optional<DownloadOutcome> outcome;
    QObject::connect(&download, &FileDownload::finished,
                     [&](const DownloadOutcome& ended) { outcome = ended; });
    download.start(address, buffer, limit, silence);
    if (!QTest::qWaitFor([&] { return outcome.has_value(); }, 20000))
        return std::nullopt;
    return Ended{*outcome, buffer.data()};
}

} // namespace

TEST(FileDownload, onlyAWholeTwoHundredAnswerWithinTheLimitIsDone) {
    const std::string kilobyte(1024, 'a');
    TestServer server([&](const httplib::Request& request, httplib::Response& response) {
        if (request.path == "/list.csv") {
            response.set_content("domain\na.com\n", "text/csv");
        } else if (request.path == "/exact") {
            response.set_content(kilobyte, "text/plain");
        } else if (request.path == "/over") {
            response.set_content(kilobyte + "b", "text/plain");
        } else if (request.path == "/short") {
            // Announces more than it sends, then closes.
            response.set_header("Content-Length", "100");
            response.set_content_provider(100, "text/plain",
                                          [](size_t, size_t, httplib::DataSink& sink) {
                                              sink.write("a.com\n", 6);
                                              return false;
                                          });
        } else {
            response.status = 404;
            response.set_content("not here", "text/plain");
        }
    });
    const struct {
        const char* path;
        Kind kind;
        int httpStatus;
        QByteArray written;
    } cases[] = {
        {"/list.csv", Kind::Done, 200, "domain\na.com\n"},
        {"/exact", Kind::Done, 200, QByteArray(1024, 'a')},
        {"/over", Kind::TooLarge, 0, {}},
        {"/missing", Kind::HttpError, 404, {}},
        {"/short", Kind::Failed, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const auto ended = download(server.baseUrl() + QString::fromLatin1(c.path));
        ASSERT_TRUE(ended.has_value());
        EXPECT_EQ(ended->outcome.kind, c.kind);
        EXPECT_EQ(ended->outcome.httpStatus, c.httpStatus);
        if (c.kind == Kind::Done) {
            EXPECT_EQ(ended->written, c.written);
            EXPECT_EQ(ended->outcome.bytes, c.written.size());
        }
    }
    EXPECT_EQ(download(server.baseUrl() + QStringLiteral("/list.csv"))->outcome.contentType,
              QStringLiteral("text/csv"));
}

TEST(FileDownload, silenceEndsItButASlowSteadyBodyDoesNot) {
    // Sends a line, then waits for the test; the silence limit is the only way out.
    TestServer silent([](TestServer& server, const httplib::Request&, httplib::Response& response) {
        response.set_chunked_content_provider(
            kUncompressed, [&server, sent = false](size_t, httplib::DataSink& sink) mutable {
                if (!std::exchange(sent, true))
                    return sink.write("a.com\n", 6);
                server.holdUntilReleased();
                return false;
            });
    });
    const auto stalled = download(silent.baseUrl(), 1024, 300ms);
    silent.release();
    ASSERT_TRUE(stalled.has_value());
    EXPECT_EQ(stalled->outcome.kind, Kind::TimedOut);
    EXPECT_EQ(stalled->written, "a.com\n");

    // Six pieces, 100 ms apart: longer in all than the silence limit, never silent for it.
    TestServer steady([](TestServer& server, const httplib::Request&, httplib::Response& response) {
        response.set_chunked_content_provider(
            kUncompressed, [&server, pieces = 0](size_t, httplib::DataSink& sink) mutable {
                if (pieces++ == 6) {
                    sink.done();
                    return true;
                }
                server.sleepUnlessStopping(100ms);
                return sink.write("b.com\n", 6);
            });
    });
    const auto slow = download(steady.baseUrl(), 1024, 400ms);
    ASSERT_TRUE(slow.has_value());
    EXPECT_EQ(slow->outcome.kind, Kind::Done);
    EXPECT_EQ(slow->written.count("b.com\n"), 6);
}

TEST(FileDownload, aDeviceThatTakesNoBytesIsAWriteFailure) {
    TestServer server([](const httplib::Request&, httplib::Response& response) {
        response.set_content("a.com\n", "text/plain");
    });
    const auto ended = download(server.baseUrl(), 1024, kFetchTimeLimit, QIODevice::ReadOnly);
    ASSERT_TRUE(ended.has_value());
    EXPECT_EQ(ended->outcome.kind, Kind::WriteFailed);
}

TEST(FileDownload, aBodySentCompressedIsWrittenAsItsPlainBytes) {
    const QByteArray plain = QByteArray("a.com\nb.net\n").repeated(1000);
    TestServer server([&](const httplib::Request&, httplib::Response& response) {
        response.set_header("Content-Encoding", "gzip");
        response.set_content(GzipBytes(plain).toStdString(), kUncompressed);
    });
    const auto ended = download(server.baseUrl(), 1024 * 1024);
    ASSERT_TRUE(ended.has_value());
    EXPECT_EQ(ended->outcome.kind, Kind::Done);
    EXPECT_EQ(ended->written, plain);
}
