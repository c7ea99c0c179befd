// Registry questions: a lookup's own time over loopback beyond the server's (curl measures the
// server, as in the network benchmark), and reading RDAP answers.
#include "CurlPeer.h"

#include "registry/RdapAnswer.h"
#include "registry/RdapBootstrapSource.h"
#include "registry/RegistryLookup.h"

#include <httplib.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kLookups = 500;
constexpr int kAnswers = 10'000;
constexpr int kTimeLimitMs = 120'000;

// A domain object of the size and shape registries send (about 2.5 KB): statuses, events,
// an entity with a vCard, name servers, notices.
std::string sampleAnswer(int serial) {
    const std::string name = "name" + std::to_string(serial) + ".com";
    return R"({"objectClassName":"domain","handle":")" + std::to_string(1000000 + serial) +
           R"(_DOMAIN_COM-VRSN","ldhName":")" + name + R"(",
"rdapConformance":["rdap_level_0","icann_rdap_technical_implementation_guide_1","icann_rdap_response_profile_1"],
"status":["client delete prohibited","client transfer prohibited","client update prohibited","redemption period","pending delete"],
"events":[{"eventAction":"registration","eventDate":"2011-08-14T04:00:00Z"},
 {"eventAction":"expiration","eventDate":"2026-08-13T04:00:00Z"},
 {"eventAction":"last changed","eventDate":"2025-08-14T07:01:38Z"},
 {"eventAction":"last update of RDAP database","eventDate":"2026-03-02T09:27:31Z"}],
"entities":[{"objectClassName":"entity","handle":"292","roles":["registrar"],
 "publicIds":[{"type":"IANA Registrar ID","identifier":"292"}],
 "vcardArray":["vcard",[["version",{},"text","4.0"],["fn",{},"text","Example Registrar, Inc."]]],
 "entities":[{"objectClassName":"entity","roles":["abuse"],"vcardArray":["vcard",[["version",{},"text","4.0"],
 ["fn",{},"text",""],["tel",{"type":"voice"},"uri","tel:+1.5555550100"],["email",{},"text","abuse@registrar.example"]]]}]}],
"nameservers":[{"objectClassName":"nameserver","ldhName":"NS1.EXAMPLE.NET"},{"objectClassName":"nameserver","ldhName":"NS2.EXAMPLE.NET"}],
"secureDNS":{"delegationSigned":false},
"links":[{"value":"https://rdap.registry.example/domain/)" +
           name + R"(","rel":"self","href":"https://rdap.registry.example/domain/)" + name +
           R"(","type":"application/rdap+json"}],
"notices":[{"title":"Terms of Use","description":["Service subject to Terms of Use."],"links":[{"href":"https://www.registry.example/terms","type":"text/html"}]},
 {"title":"Status Codes","description":["For more information on domain status codes, please visit https://icann.org/epp"]},
 {"title":"RDDS Inaccuracy Complaint Form","description":["URL of the ICANN RDDS Inaccuracy Complaint Form: https://icann.org/wicf"]}]})";
}

// An RDAP server on its own threads that answers every domain question at once.
class LoopbackRdap {
public:
    LoopbackRdap() {
        m_server.set_tcp_nodelay(true);
        m_server.Get(
            "/domain/(.*)", [](const httplib::Request& request, httplib::Response& response) {
                response.set_content(sampleAnswer(static_cast<int>(request.matches[1].length())),
                                     "application/rdap+json");
            });
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~LoopbackRdap() {
        m_server.stop();
        m_thread.join();
    }
    QString base() const {
        return QStringLiteral("http://127.0.0.1:") + QString::number(m_port) + u'/';
    }

private:
    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
};

void RdapLookupOverLoopback(benchmark::State& state) {
    LoopbackRdap server;
    QTemporaryDir cache;
    const QByteArray bootstrap =
        R"({"services": [[["com"], [")" + server.base().toUtf8() + R"("]]]})";
    QFile file(cache.filePath(QStringLiteral("rdap-dns.json")));
    if (!file.open(QIODevice::WriteOnly) || file.write(bootstrap) != bootstrap.size()) {
        state.SkipWithError("no cache folder");
        return;
    }
    file.close();
    // Far from due: no fetch of the bootstrap during the run.
    RdapBootstrapSource source(cache.path(), server.base() + u"dns.json",
                               [] { return QDateTime(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC); });
    RegistryQueue queue(std::chrono::milliseconds(0));
    RegistryLookup lookup(source, queue, [] { return QDateTime::currentDateTimeUtc(); });

    QStringList names;
    QStringList addresses;
    for (int i = 0; i < kLookups; ++i) {
        names.append(QStringLiteral("name") + QString::number(i) + u".com");
        addresses.append(server.base() + u"domain/" + names.last());
    }
    for (auto _ : state) {
        int done = 0;
        int held = 0;
        QEventLoop loop;
        std::function<void()> next = [&] {
            lookup.lookup(names[done], [&](const RegistryResult& result) {
                held += result.isHeld() ? 1 : 0;
                if (++done == kLookups)
                    loop.quit();
                else
                    next();
            });
        };
        QElapsedTimer clock;
        clock.start();
        next();
        QTimer::singleShot(kTimeLimitMs, &loop, &QEventLoop::quit);
        loop.exec();
        const double client = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        state.SetIterationTime(client);
        if (held != kLookups) {
            state.SkipWithError("not every lookup came back held");
            break;
        }
        const CurlRun curl = RunCurl(addresses, Connections::Reused);
        if (!curl.ok || curl.answered != kLookups) {
            state.SkipWithError("curl did not fetch every answer");
            break;
        }
        const double serverMs = 1e3 * curl.serverSeconds / kLookups;
        const double clientMs = 1e3 * client / kLookups;
        const double curlMs = 1e3 * curl.wallSeconds / kLookups;
        state.counters["server_ms_per_lookup"] = serverMs;
        state.counters["client_ms_per_lookup"] = clientMs;
        state.counters["client_beyond_server_ms"] = clientMs - serverMs;
        state.counters["curl_beyond_server_ms"] = curlMs - serverMs;
    }
}

void ReadTenThousandRdapAnswers(benchmark::State& state) {
    std::vector<QByteArray> bodies;
    bodies.reserve(kAnswers);
    for (int i = 0; i < kAnswers; ++i)
        bodies.push_back(QByteArray::fromStdString(sampleAnswer(i)));
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (auto _ : state) {
        int inRedemption = 0;
        for (const QByteArray& body : bodies) {
            const RegistryResult result = ReadRdapAnswer(200, {}, body, now);
            inRedemption += result.verdict == RegistryVerdict::HeldInRedemption ? 1 : 0;
        }
        if (inRedemption != kAnswers) {
            state.SkipWithError("an answer was misread");
            break;
        }
    }
    state.counters["bytes_per_answer"] = static_cast<double>(bodies.front().size());
}

} // namespace

BENCHMARK(RdapLookupOverLoopback)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ReadTenThousandRdapAnswers)->Unit(benchmark::kMillisecond);
