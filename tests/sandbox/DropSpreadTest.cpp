// With a drop spread, each listed name drops at its own second, and every face of the stand-in
// (availability, RDAP, WHOIS, the list's deletion time) tells the same moment.
#include "HandMadeDomains.h"
#include "registry/RdapAnswer.h"
#include "registry/WhoisAnswer.h"
#include "registry/WhoisServers.h"
#include "sandbox/Availability.h"
#include "sandbox/GenerateDomains.h"
#include "sandbox/RegistryLife.h"
#include "sandbox/RegistryTexts.h"
#include "sandbox/RenderListPage.h"
#include "sandbox/SandboxCommandLine.h"

#include <gtest/gtest.h>

#include <set>

namespace {

constexpr DropRules kSpread{9, 0, 3600};

TEST(DropSpread, eachNameHasItsOwnStableSecondWithinTheSpread) {
    const DomainCatalog catalog(GenerateDomains(500, 7, kToday));
    std::set<int> seconds;
    for (DomainCatalog::Index i = 0; i < catalog.size(); ++i) {
        const std::string name = catalog.domain(i).fullName();
        const int second = DropSecond(name, kSpread);
        EXPECT_GE(second, 9 * 3600) << name;
        EXPECT_LT(second, 10 * 3600) << name;
        EXPECT_EQ(DropSecond(std::string(name), kSpread), second) << name;
        EXPECT_EQ(DropSecond(name, DropRules{9, 0, 0}), 9 * 3600) << name;
        seconds.insert(second);
    }
    // 500 names over 3600 seconds: nearly all apart, not a handful of shared seconds.
    EXPECT_GT(seconds.size(), 400u);
    EXPECT_EQ(DropSecond("kato.com", DropRules{9, 0, 1}), 9 * 3600);
    EXPECT_EQ(DropSecond("kato.com", DropRules{9, 0, 0, 42}), 9 * 3600 + 42 * 60);
    EXPECT_LE(DropSecond("kato.com", DropRules{23, 0, 3600}), 24 * 3600 - 1);
}

// The raw deletion time cell of the name's row.
std::string ListedTime(const std::string& page, const std::string& fullName) {
    const size_t row = page.find("title=\"" + fullName);
    if (row == std::string::npos)
        return {};
    const std::string before = "</a></td><td>";
    const size_t cell = page.find(before, row);
    return cell == std::string::npos ? std::string() : page.substr(cell + before.size(), 19);
}

TEST(DropSpread, availabilityRdapWhoisAndTheListTellTheSameMoment) {
    const DomainCatalog catalog({Entry("kato", "com", 0), Entry("baidu", "com", 0),
                                 Entry("my-shop", "com", 0), Entry("haohaoxuexue", "cn", 0)});
    std::vector<DomainCatalog::Index> all(catalog.size());
    for (DomainCatalog::Index i = 0; i < catalog.size(); ++i)
        all[i] = i;
    const std::string page = RenderListPage(catalog, all, ListQuery{}, kSpread);
    const std::string unspread = RenderListPage(catalog, all, ListQuery{}, DropRules{9, 0, 0});
    const QStringList cnNotFound = WhoisServerFor(u"x.cn")->notFoundTexts;
    std::set<qint64> moments;
    for (DomainCatalog::Index i = 0; i < catalog.size(); ++i) {
        const std::string name = catalog.domain(i).fullName();
        SCOPED_TRACE(name);
        const QDateTime drop = DropMoment(name, kToday, kSpread);
        moments.insert(drop.toSecsSinceEpoch());
        const QDateTime before = drop.addSecs(-1);

        EXPECT_EQ(DecideAvailability(catalog, name, before, kSpread), Availability::Registered);
        EXPECT_EQ(DecideAvailability(catalog, name, drop, kSpread), Availability::Free);

        const RegistryLife pending = LifeIn(catalog, name, before, kSpread);
        EXPECT_EQ(pending.phase, RegistryPhase::PendingDelete);
        EXPECT_EQ(pending.deletion, drop);
        EXPECT_EQ(pending.lastChanged.addDays(kPendingDeleteDays), drop);
        EXPECT_EQ(LifeIn(catalog, name, drop, kSpread).phase, RegistryPhase::Dropped);
        EXPECT_EQ(LifeIn(catalog, name, drop.addDays(-6), kSpread).phase,
                  RegistryPhase::RedemptionPeriod);

        const QString ascii = QString::fromStdString(name);
        if (name.ends_with(".cn")) {
            const auto whois = [&](const QDateTime& now) {
                return ReadWhoisAnswer(QByteArray::fromStdString(WhoisAnswerText(
                                           name, LifeIn(catalog, name, now, kSpread))),
                                       ascii, cnNotFound, now)
                    .verdict;
            };
            EXPECT_EQ(whois(before), RegistryVerdict::HeldPendingDelete);
            EXPECT_EQ(whois(drop), RegistryVerdict::NotHeld);
        } else {
            const RegistryResult rdap = ReadRdapAnswer(
                200, {}, QByteArray::fromStdString(RdapDomainJson(name, pending, before)), before);
            EXPECT_EQ(rdap.verdict, RegistryVerdict::HeldPendingDelete);
            EXPECT_EQ(rdap.events.deletion, drop);
        }

        EXPECT_EQ(ListedTime(page, name),
                  drop.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")).toStdString());
        // Without a spread the row keeps the entry's own time.
        EXPECT_EQ(ListedTime(unspread, name),
                  kToday.toString(QStringLiteral("yyyy-MM-dd")).toStdString() + " 13:05:09");
    }
    EXPECT_EQ(moments.size(), catalog.size());
}

TEST(DropSpread, theCommandLineKeepsTheDropOnItsDay) {
    const struct {
        QStringList arguments;
        int spread; // -1: refused
    } cases[] = {
        {{}, 0},
        {{QStringLiteral("--drop-spread=900")}, 900},
        {{QStringLiteral("--drop-hour=23"), QStringLiteral("--drop-spread=3600")}, 3600},
        {{QStringLiteral("--drop-hour=23"), QStringLiteral("--drop-spread=3601")}, -1},
        {{QStringLiteral("--drop-hour=0"), QStringLiteral("--drop-spread=86400")}, 86400},
        {{QStringLiteral("--drop-hour=23"), QStringLiteral("--drop-minute=59"),
          QStringLiteral("--drop-spread=60")},
         60},
        {{QStringLiteral("--drop-hour=23"), QStringLiteral("--drop-minute=59"),
          QStringLiteral("--drop-spread=61")},
         -1},
        {{QStringLiteral("--drop-minute=60")}, -1},
        {{QStringLiteral("--drop-spread=86401")}, -1},
        {{QStringLiteral("--drop-spread=-5")}, -1},
        {{QStringLiteral("--drop-spread=1h")}, -1},
    };
    for (const auto& c : cases) {
        QStringList arguments = c.arguments;
        arguments.prepend(QStringLiteral("morrowcatch-sandbox"));
        const SandboxCommandLine line = ParseSandboxCommandLine(arguments);
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        EXPECT_EQ(line.error.isEmpty(), c.spread >= 0) << line.error.toStdString();
        if (c.spread >= 0) {
            EXPECT_EQ(line.settings.options.drop.spreadSeconds, c.spread);
        }
    }
}

} // namespace
