#include "sandbox/SandboxCommandLine.h"

#include <gtest/gtest.h>

namespace {

SandboxCommandLine Parse(QStringList arguments) {
    arguments.prepend(QStringLiteral("morrowcatch-sandbox"));
    return ParseSandboxCommandLine(arguments);
}

TEST(SandboxCommandLine, defaults) {
    const SandboxCommandLine line = Parse({});
    ASSERT_TRUE(line.error.isEmpty()) << line.error.toStdString();
    EXPECT_EQ(line.settings.port, 8730);
    EXPECT_EQ(line.settings.domainCount, 20000u);
    EXPECT_FALSE(line.settings.seed);
    EXPECT_EQ(line.settings.options.failureShare, 0.0);
    EXPECT_EQ(line.settings.options.checksPerSecond, 20);
    EXPECT_EQ(line.settings.options.drop.hour, 9);
    EXPECT_EQ(line.settings.options.drop.caughtPercent, 15);
    EXPECT_EQ(line.settings.clockOffset, std::chrono::seconds(0));
}

TEST(SandboxCommandLine, everyOption) {
    const SandboxCommandLine line = Parse(
        {QStringLiteral("--port=0"), QStringLiteral("--size=500"), QStringLiteral("--csv=my.csv"),
         QStringLiteral("--seed=99"), QStringLiteral("--latency=120"),
         QStringLiteral("--jitter=30"), QStringLiteral("--fail-share=0.25"),
         QStringLiteral("--fail-mode=drop"), QStringLiteral("--rate-limit=0"),
         QStringLiteral("--drop-hour=0"), QStringLiteral("--caught-percent=100"),
         QStringLiteral("--clock-offset=3d4h"), QStringLiteral("--log=-"),
         QStringLiteral("--registry-rate-limit=0"), QStringLiteral("--whois-port=0")});
    ASSERT_TRUE(line.error.isEmpty()) << line.error.toStdString();
    const SandboxSettings& s = line.settings;
    EXPECT_EQ(s.port, 0);
    EXPECT_EQ(s.domainCount, 500u);
    EXPECT_EQ(s.csvPath, u"my.csv");
    EXPECT_EQ(s.seed, 99u);
    EXPECT_EQ(s.options.latency, std::chrono::milliseconds(120));
    EXPECT_EQ(s.options.jitter, std::chrono::milliseconds(30));
    EXPECT_EQ(s.options.failureShare, 0.25);
    EXPECT_EQ(s.options.failureMode, FailureMode::DropConnection);
    EXPECT_EQ(s.options.checksPerSecond, 0);
    EXPECT_EQ(s.options.drop.hour, 0);
    EXPECT_EQ(s.options.drop.caughtPercent, 100);
    EXPECT_EQ(s.clockOffset, std::chrono::hours(76));
    EXPECT_EQ(s.logPath, u"-");
    EXPECT_EQ(s.options.registryQuestionsPerSecond, 0);
    EXPECT_EQ(s.options.whoisPort, std::nullopt) << "0: no WHOIS listener";
    EXPECT_EQ(Parse({QStringLiteral("--fail-mode=500")}).settings.options.failureMode,
              FailureMode::ServerError);
    // A negative offset may follow as its own argument.
    const SandboxCommandLine behind =
        Parse({QStringLiteral("--clock-offset"), QStringLiteral("-2h30m"),
               QStringLiteral("--drop-hour"), QStringLiteral("23")});
    ASSERT_TRUE(behind.error.isEmpty()) << behind.error.toStdString();
    EXPECT_EQ(behind.settings.clockOffset, std::chrono::minutes(-150));
    EXPECT_EQ(behind.settings.options.drop.hour, 23);
}

TEST(SandboxCommandLine, badValuesAreRefused) {
    for (const char* bad :
         {"--port=70000", "--port=-1", "--size=x", "--fail-share=1.5", "--fail-share=nan",
          "--fail-mode=explode", "--latency=-5", "--drop-hour=24", "--drop-hour=-1",
          "--drop-hour=", "--caught-percent=101", "--caught-percent=-5", "--caught-percent=1.5",
          "--clock-offset=", "--clock-offset=tomorrow", "--clock-offset=4h3d",
          "--clock-offset=3651d", "--unknown", "stray"})
        EXPECT_FALSE(Parse({QString::fromUtf8(bad)}).error.isEmpty()) << bad;
    for (const char* bad : {"--whois-port=65536", "--registry-rate-limit=x"})
        EXPECT_FALSE(Parse({QString::fromUtf8(bad)}).error.isEmpty()) << bad;
    EXPECT_TRUE(Parse({QStringLiteral("--help")}).help);
}

} // namespace
