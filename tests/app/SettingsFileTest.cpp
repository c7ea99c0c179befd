// The settings file: defaults when it or a key is missing, each wrong value replaced by its
// default with a message naming the key and the default, good values taken, and writing that
// keeps the rest of the file.
#include "app/SettingsFile.h"
#include "app/AppConfig.h"
#include "support/QStringPrinter.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

SettingsValues testDefaults() {
    SettingsValues values;
    values.listBase = QStringLiteral("http://127.0.0.1:8730/?");
    values.checkBase = QStringLiteral("http://127.0.0.1:8730");
    values.bootstrapAddress = QStringLiteral("https://data.iana.org/rdap/dns.json");
    return values;
}

class SettingsFileTest : public ::testing::Test {
protected:
    QString path() const { return QDir(folder.path()).filePath(QStringLiteral("m.conf")); }
    void write(const QByteArray& text) {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }
    QTemporaryDir folder;
};

} // namespace

TEST_F(SettingsFileTest, aMissingFileOrAnEmptyOneMeansTheDefaultsWithoutAWord) {
    for (const QByteArray& content : {QByteArray(), QByteArray("[other]\nx=1\n")}) {
        const QString file = content.isNull() ? path() + QStringLiteral(".none") : path();
        if (!content.isNull())
            write(content);
        const SettingsReading reading = ReadSettingsFile(file, testDefaults());
        EXPECT_EQ(reading.values, testDefaults());
        EXPECT_TRUE(reading.problems.isEmpty()) << reading.problems.join(u'\n').toStdString();
    }
}

TEST_F(SettingsFileTest, eachWrongValueGetsItsDefaultAndAMessageNamingTheKeyAndTheDefault) {
    struct Case {
        const char* line;
        const char16_t* key;
        const char16_t* defaultText;
    };
    const Case cases[] = {
        {"[services]\nlist=ftp://list.example/?\n", u"[services] list", u"http://127.0.0.1:8730/?"},
        {"[services]\nlist=list.example\n", u"[services] list", u"http://127.0.0.1:8730/?"},
        {"[services]\nlist=\n", u"[services] list", u"http://127.0.0.1:8730/?"},
        {"[services]\ncheck=http://\n", u"[services] check", u"http://127.0.0.1:8730"},
        {"[services]\ncheck=javascript:alert(1)\n", u"[services] check", u"http://127.0.0.1:8730"},
        {"[registry]\nbootstrap=file:///etc/passwd\n", u"[registry] bootstrap",
         u"https://data.iana.org/rdap/dns.json"},
        {"[registry]\nwhois=whois.example\n", u"[registry] whois", u"（空）"},
        {"[registry]\nwhois=whois.example:port\n", u"[registry] whois", u"（空）"},
        {"[registry]\nwhois=whois.example:70000\n", u"[registry] whois", u"（空）"},
        {"[registry]\nspacing=fast\n", u"[registry] spacing", u"1000"},
        {"[registry]\nspacing=99\n", u"[registry] spacing", u"1000"},
        {"[registry]\nspacing=60001\n", u"[registry] spacing", u"1000"},
        {"[registry]\nspacing=-1000\n", u"[registry] spacing", u"1000"},
        {"[registry]\nspacing=1.5\n", u"[registry] spacing", u"1000"},
        {"[registry]\nenabled=perhaps\n", u"[registry] enabled", u"true"},
        {"[registry]\nenabled=2\n", u"[registry] enabled", u"true"},
        {"[services]\nlistZone=Mars/Olympus\n", u"[services] listZone", u"本机时区"},
        {"[services]\nlistZone=+08:00\n", u"[services] listZone", u"本机时区"},
    };
    for (const Case& c : cases) {
        write(c.line);
        const SettingsReading reading = ReadSettingsFile(path(), testDefaults());
        EXPECT_EQ(reading.values, testDefaults()) << c.line;
        ASSERT_EQ(reading.problems.size(), 1) << c.line;
        const QString& problem = reading.problems.front();
        EXPECT_TRUE(problem.contains(QString::fromUtf16(c.key))) << problem.toStdString();
        EXPECT_TRUE(
            problem.contains(QStringLiteral("默认值：") + QString::fromUtf16(c.defaultText)))
            << problem.toStdString();
    }
}

TEST_F(SettingsFileTest, aLongWrongValueIsQuotedOnlyInPart) {
    write("[services]\nlist=" + QByteArray(5000, 'x') + "\n");
    const SettingsReading reading = ReadSettingsFile(path(), testDefaults());
    ASSERT_EQ(reading.problems.size(), 1);
    EXPECT_LT(reading.problems.front().size(), 300);
}

TEST_F(SettingsFileTest, goodValuesAreTakenAndTheOthersKeepTheirDefaults) {
    struct Case {
        const char* text;
        SettingsValues (*expected)();
    };
    const Case cases[] = {
        // An unquoted comma makes QSettings read a list: the address is read whole.
        {"[services]\nlist=https://list.example/?a=x,y\ncheck=http://check.example:8080\n",
         [] {
             SettingsValues v = testDefaults();
             v.listBase = QStringLiteral("https://list.example/?a=x,y");
             v.checkBase = QStringLiteral("http://check.example:8080");
             return v;
         }},
        {"[registry]\nbootstrap=http://127.0.0.1:9/dns.json\nwhois=127.0.0.1:4343\n"
         "spacing=100\nenabled=false\n",
         [] {
             SettingsValues v = testDefaults();
             v.bootstrapAddress = QStringLiteral("http://127.0.0.1:9/dns.json");
             v.whoisOverride = QStringLiteral("127.0.0.1:4343");
             v.spacingMs = 100;
             v.enabled = false;
             return v;
         }},
        {"[registry]\nwhois=\nspacing=60000\nenabled=0\n",
         [] {
             SettingsValues v = testDefaults();
             v.spacingMs = 60000;
             v.enabled = false;
             return v;
         }},
        {"[services]\nlistZone=Asia/Shanghai\n",
         [] {
             SettingsValues v = testDefaults();
             v.listZone = QStringLiteral("Asia/Shanghai");
             return v;
         }},
        {"[registry]\nwhois=[::1]:43\nenabled=TRUE\n",
         [] {
             SettingsValues v = testDefaults();
             v.whoisOverride = QStringLiteral("[::1]:43");
             return v;
         }},
    };
    for (const Case& c : cases) {
        write(c.text);
        const SettingsReading reading = ReadSettingsFile(path(), testDefaults());
        EXPECT_EQ(reading.values, c.expected()) << c.text;
        EXPECT_TRUE(reading.problems.isEmpty()) << reading.problems.join(u'\n').toStdString();
    }
}

TEST_F(SettingsFileTest, writingKeepsOtherGroupsAndReadsBackTheSameValues) {
    write("[watchListWindow]\ngeometry=@ByteArray(abc)\ncolumns=1, 2, 3\n"
          "[services]\nlist=http://old.example/?\nnote=kept\n");
    SettingsValues values = testDefaults();
    values.listBase = QStringLiteral("https://list.example/?a=1&b=%23");
    values.whoisOverride = QStringLiteral("whois.example:4343");
    values.spacingMs = 2500;
    values.enabled = false;
    ASSERT_EQ(WriteSettingsFile(path(), values), QString());

    const SettingsReading reading = ReadSettingsFile(path(), testDefaults());
    EXPECT_EQ(reading.values, values);
    EXPECT_TRUE(reading.problems.isEmpty());
    QSettings file(path(), QSettings::IniFormat);
    EXPECT_EQ(file.value(QStringLiteral("watchListWindow/geometry")).toByteArray(), "abc");
    EXPECT_EQ(file.value(QStringLiteral("watchListWindow/columns")).toStringList(),
              (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    EXPECT_EQ(file.value(QStringLiteral("services/note")).toString(), QStringLiteral("kept"));
}

TEST_F(SettingsFileTest, aFileThatCannotBeWrittenIsSaidInChinese) {
    write("x");
    // The file stands where the folder should be.
    const QString error =
        WriteSettingsFile(path() + QStringLiteral("/morrowcatch.conf"), testDefaults());
    EXPECT_TRUE(error.startsWith(QStringLiteral("设置无法写入"))) << error.toStdString();
}

TEST_F(SettingsFileTest, theListZoneReachesTheConfigAndAWrongOneLeavesTheLocalZone) {
    struct Case {
        const char* text;
        QTimeZone zone;
        qsizetype problems;
    };
    const Case cases[] = {
        {"[services]\nlistZone=Asia/Shanghai\n", QTimeZone("Asia/Shanghai"), 0},
        {"[services]\nlistZone=America/New_York\n", QTimeZone("America/New_York"), 0},
        {"[services]\nlistZone=Asia/Nowhere\n", QTimeZone::systemTimeZone(), 1},
        {"[services]\nlist=http://list.example/?\n", QTimeZone::systemTimeZone(), 0},
    };
    for (const Case& c : cases) {
        write(c.text);
        const AppConfig config = AppConfig::fromSettingsFile(path());
        EXPECT_EQ(config.listZone, c.zone) << c.text;
        EXPECT_EQ(config.settingsProblems.size(), c.problems) << c.text;
    }
}
