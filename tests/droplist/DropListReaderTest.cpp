#include "search/DropListReader.h"
#include "GzipBytes.h"
#include "support/QStringPrinter.h"

#include <QStringEncoder>

#include <gtest/gtest.h>

namespace {

const QDate kToday(2026, 12, 8);

struct Read {
    std::vector<std::string> names;
    std::vector<std::string> dates;
    DropListCounts counts;
    QString problem;
};

// Fed in pieces of the given size, so that lines, byte order marks, multi-byte characters and
// gzip blocks are cut at every place.
Read ReadAll(const QByteArray& bytes, DropListForm form, qsizetype piece,
             const NameCriteria& criteria = {}) {
    DropListReader reader(form, criteria, kToday);
    for (qsizetype at = 0; at < bytes.size(); at += piece) {
        if (!reader.feed(QByteArrayView(bytes).sliced(at, std::min(piece, bytes.size() - at))))
            break;
    }
    reader.finish();
    Read read;
    for (const ResultRow& row : reader.takeRows()) {
        read.names.push_back(row.cells[ResultListModel::Domain].toStdString());
        read.dates.push_back(row.cells[ResultListModel::DeletionTime].toStdString());
    }
    read.counts = reader.counts();
    read.problem = reader.problem();
    return read;
}

QByteArray Gb18030(const QString& text) {
    QStringEncoder encoder("GB18030");
    return encoder(text);
}

struct Case {
    const char* what;
    DropListForm form;
    QByteArray bytes;
    std::vector<std::string> names;
    qint64 blankOrComment, notNames, tooLong, duplicates;
    bool problem;
};

TEST(DropListReader, formsEncodingsAndSkippedLines) {
    const QByteArray longLine = "a.com\n" + QByteArray(1024 * 1024, 'x') + ".com\nb.com\n";
    const QByteArray plain = "one.com\n\n# comment\nTWO.net.\n";
    const Case cases[] = {
        {"text, one name a line",
         DropListForm::Text,
         "a.com\n\n  # note\nB.COM.\nnot a name\nA.com\n   \nc.com.cn",
         {"a.com", "b.com", "c.com.cn"},
         3,
         1,
         0,
         1,
         false},
        {"markup is no name",
         DropListForm::Text,
         "<b>x.com</b>\n<script>y.com\nx.com\"onclick=\n&lt;z.com\nok.org\n",
         {"ok.org"},
         0,
         4,
         0,
         0,
         false},
        {"bad labels",
         DropListForm::Text,
         "-a.com\na-.com\na..com\ncom\n" + QByteArray(64, 'a') + ".com\na_b.com\n",
         {},
         0,
         6,
         0,
         0,
         false},
        {"byte order mark and CRLF",
         DropListForm::Text,
         "\xEF\xBB\xBF"
         "a.com\r\nb.net\r\n",
         {"a.com", "b.net"},
         0,
         0,
         0,
         0,
         false},
        {"international names",
         DropListForm::Text,
         "B\xC3\xBC"
         "cher.DE\nxn--bcher-kva.de\n",
         {"bücher.de", "xn--bcher-kva.de"},
         0,
         0,
         0,
         0,
         false},
        {"GB18030 where not UTF-8",
         DropListForm::Text,
         Gb18030(QStringLiteral("中文.cn\n# 注释\n")) + "a.cn\n",
         {"中文.cn", "a.cn"},
         1,
         0,
         0,
         0,
         false},
        {"a line of a megabyte",
         DropListForm::Text,
         longLine,
         {"a.com", "b.com"},
         0,
         0,
         1,
         0,
         false},
        {"a long last line",
         DropListForm::Text,
         "a.com\n" + QByteArray(40000, 'y'),
         {"a.com"},
         0,
         0,
         1,
         0,
         false},
        {"gzip", DropListForm::Text, GzipBytes(plain), {"one.com", "two.net"}, 2, 0, 0, 0, false},
        {"two gzip members",
         DropListForm::Text,
         GzipBytes(plain) + GzipBytes("three.org\n"),
         {"one.com", "two.net", "three.org"},
         2,
         0,
         0,
         0,
         false},
        {"cut-off gzip keeps the lines before the cut",
         DropListForm::Text,
         GzipBytes("one.com\ntwo.com\n" + QByteArray(200000, '#')).chopped(10),
         {"one.com", "two.com"},
         0,
         0,
         0,
         0,
         true},
        {"gzip magic with garbage",
         DropListForm::Text,
         "\x1f\x8bnot really packed",
         {},
         0,
         0,
         0,
         0,
         true},
        {"binary",
         DropListForm::Text,
         QByteArray("\0\0\0\rIHDR\x89PNG\r\n\x1a\na.com\n", 22),
         {},
         0,
         0,
         0,
         0,
         true},
        {"CSV by header",
         DropListForm::Csv,
         "Domain,Deletion\nx.com,2026-12-07\n\"y,z.com\",\ny.com,\n",
         {"x.com", "y.com"},
         0,
         1,
         0,
         0,
         false},
        {"CSV quoted cells, Chinese header",
         DropListForm::Csv,
         "\xEF\xBB\xBF\"序号\",\"域名\",\"删除日期\"\n1,\"q.com\",\"2026-12-07 13:05:09\"\n",
         {"q.com"},
         0,
         0,
         0,
         0,
         false},
        {"CSV in GB18030",
         DropListForm::Csv,
         Gb18030(QStringLiteral("域名,删除日期\n中文.cn,2026/12/9\n")),
         {"中文.cn"},
         0,
         0,
         0,
         0,
         false},
        {"CSV with tabs and a short row",
         DropListForm::Csv,
         "name\tdate\nt.com\t2026-12-07\n\n3\n",
         {"t.com"},
         1,
         1,
         0,
         0,
         false},
        {"CSV without a name column",
         DropListForm::Csv,
         "id,when\n1,2026-12-07\n",
         {},
         0,
         0,
         0,
         0,
         true},
    };
    for (const Case& c : cases) {
        for (const qsizetype piece : {qsizetype(1) << 20, qsizetype(7), qsizetype(1)}) {
            if (piece == 1 && c.bytes.size() > 5000)
                continue;
            const Read read = ReadAll(c.bytes, c.form, piece);
            SCOPED_TRACE(std::string(c.what) + ", pieces of " + std::to_string(piece));
            EXPECT_EQ(read.names, c.names);
            EXPECT_EQ(read.counts.blankOrComment, c.blankOrComment);
            EXPECT_EQ(read.counts.notNames, c.notNames);
            EXPECT_EQ(read.counts.tooLong, c.tooLong);
            EXPECT_EQ(read.counts.duplicates, c.duplicates);
            EXPECT_EQ(!read.problem.isEmpty(), c.problem) << read.problem.toStdString();
        }
    }
}

TEST(DropListReader, problemsAreTold) {
    EXPECT_TRUE(ReadAll("id,when\n", DropListForm::Csv, 64).problem.contains(u"域名列"));
    EXPECT_TRUE(
        ReadAll(QByteArray("\0\1\2", 3), DropListForm::Text, 64).problem.contains(u"二进制"));
    EXPECT_TRUE(ReadAll(GzipBytes("a.com\n").chopped(3), DropListForm::Text, 64)
                    .problem.contains(u"压缩文件"));
}

TEST(DropListReader, datesAreReadWhereTheListGivesThem) {
    const Read read = ReadAll("domain,date\na.com,2026-12-07\nb.com,2026/1/5 10:00\nc.com,soon\n"
                              "d.com,2026-02-30\n",
                              DropListForm::Csv, 5);
    EXPECT_EQ(read.dates, (std::vector<std::string>{"2026-12-07", "2026-01-05", "", ""}));
}

struct FilterCase {
    const char* what;
    DropListForm form;
    QByteArray bytes;
    std::function<void(NameCriteria&)> set;
    std::vector<std::string> names;
};

TEST(DropListReader, criteriaSelectAndListsWithoutDataAreNotAskedAboutIt) {
    const QByteArray text = "abc.com\nxabc.net\nabcdefgh.com\nabc.org\nab.com.cn\nAbcd.COM\n";
    const QByteArray csv = "域名,删除日期,删除类型\nold.com,2026-12-01,Delete\n"
                           "new.com,2026-12-09,Pre-Release\nday.com,2026-12-08,Delete\n"
                           "none.com,,\n";
    const FilterCase cases[] = {
        {"keyword at the start",
         DropListForm::Text,
         text,
         [](NameCriteria& c) {
             c.keyword = "abc";
             c.place = KeywordPlace::Start;
         },
         {"abc.com", "abcdefgh.com", "abc.org", "abcd.com"}},
        {"length of the name without its suffix",
         DropListForm::Text,
         text,
         [](NameCriteria& c) {
             c.shortest = 3;
             c.longest = 4;
         },
         {"abc.com", "xabc.net", "abc.org", "abcd.com"}},
        {"suffixes are everything after the first dot",
         DropListForm::Text,
         text,
         [](NameCriteria& c) {
             c.suffixes = {"com", "net"};
         },
         {"abc.com", "xabc.net", "abcdefgh.com", "abcd.com"}},
        {"a text list has no dates or types",
         DropListForm::Text,
         text,
         [](NameCriteria& c) {
             c.date = DateChoice::BeforeToday;
             c.type = TypeChoice::PreRelease;
             c.withSuggestion = true;
         },
         {"abc.com", "xabc.net", "abcdefgh.com", "abc.org", "ab.com.cn", "abcd.com"}},
        {"past deletions",
         DropListForm::Csv,
         csv,
         [](NameCriteria& c) { c.date = DateChoice::BeforeToday; },
         {"old.com", "none.com"}},
        {"coming deletions, today included",
         DropListForm::Csv,
         csv,
         [](NameCriteria& c) { c.date = DateChoice::TodayAndLater; },
         {"new.com", "day.com", "none.com"}},
        {"one day",
         DropListForm::Csv,
         csv,
         [](NameCriteria& c) {
             c.date = DateChoice::OneDay;
             c.day = QDate(2026, 12, 9);
         },
         {"new.com", "none.com"}},
        {"deletion type",
         DropListForm::Csv,
         csv,
         [](NameCriteria& c) { c.type = TypeChoice::Delete; },
         {"old.com", "day.com", "none.com"}},
        {"structure",
         DropListForm::Text,
         "baidu.com\nshop.com\nbjsz.cn\n",
         [](NameCriteria& c) { c.pinyin = true; },
         {"baidu.com"}},
    };
    for (const FilterCase& c : cases) {
        NameCriteria criteria;
        c.set(criteria);
        const Read read = ReadAll(c.bytes, c.form, 3, criteria);
        EXPECT_EQ(read.names, c.names) << c.what;
        EXPECT_EQ(read.counts.kept + read.counts.filteredOut,
                  read.counts.lines - (c.form == DropListForm::Csv ? 1 : 0))
            << c.what;
    }
}

} // namespace
