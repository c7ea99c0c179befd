#include "search/ParseResultPage.h"
#include "support/ListPages.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

using Column = ResultListModel::Column;
using ListPages::Row;
using ListPages::text;

void replaceAll(std::string& html, const std::string& from, const std::string& to) {
    for (size_t at = html.find(from); at != std::string::npos; at = html.find(from, at + to.size()))
        html.replace(at, from.size(), to);
}

QStringList columnOf(const std::vector<ResultRow>& rows, Column column) {
    QStringList cells;
    for (const ResultRow& row : rows)
        cells << row.cells[column];
    return cells;
}

std::vector<ResultRow> rowsOf(const std::string& html) {
    return ParseRows(text(html), 1);
}

ResultRow onlyRow(const std::string& html) {
    std::vector<ResultRow> rows = rowsOf(html);
    EXPECT_EQ(rows.size(), 1u);
    return rows.empty() ? ResultRow{} : rows.front();
}

QString cellOf(const Row& row, Column column) {
    return onlyRow(ListPages::page("1", {row})).cells[column];
}

void fillList(ResultListModel& list, int count) {
    for (int i = 0; i < count; ++i)
        list.appendRow(ResultRow{});
}

TEST(ParseResultPage, workedExample_appendsOneNumberedRowAndReturnsThePageCount) {
    ResultListModel list;
    fillList(list, 5);
    const QString page = text(ListPages::page("4", {Row{}}));

    EXPECT_EQ(ParseResultPage(page, true, list), 4);
    ASSERT_EQ(list.count(), 6);
    const std::array<QString, 5> expected{QStringLiteral("6"), QStringLiteral("ab88.com"),
                                          QStringLiteral("2012-06-01"), QStringLiteral("D"),
                                          QStringLiteral("3")};
    EXPECT_EQ(list.row(5).cells, expected);
    EXPECT_EQ(list.row(5).deletionDate(), QDate(2012, 6, 1));
    EXPECT_EQ(list.row(5).verdict, ResultRow::Verdict::None);
    EXPECT_EQ(list.cell(5, Column::Verdict), QString());

    EXPECT_EQ(ParseResultPage(page, false, list), 0);
    EXPECT_EQ(list.cell(6, ResultListModel::Number), QStringLiteral("7"));
}

TEST(ParseResultPage, emptyPageOnLaterPage_addsNothingAndReturnsZero) {
    ResultListModel list;
    EXPECT_EQ(ParseResultPage(QStringView(), false, list), 0);
    EXPECT_EQ(list.count(), 0);
}

TEST(ParseResultPage, numbersContinueFromTheList_andRepeatedDomainsKeepTheirRows) {
    ResultListModel list;
    fillList(list, 2);
    ParseResultPage(text(ListPages::pageOfDomains("1", {"a.com", "b.com", "a.com"})), true, list);
    ASSERT_EQ(list.count(), 5);
    const QStringList numbers{list.cell(2, Column::Number), list.cell(3, Column::Number),
                              list.cell(4, Column::Number)};
    EXPECT_EQ(numbers,
              QStringList({QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5")}));
    EXPECT_EQ(list.cell(4, Column::Domain), QStringLiteral("a.com"));
}

TEST(ParseRows, tableTagsInCapitals_areRecognised) {
    std::string html = ListPages::pageOfDomains("1", {"a.com", "b.com"});
    replaceAll(html, "<tbody>", "<TBODY>");
    replaceAll(html, "</tbody>", "</TBody>");
    replaceAll(html, "<tr ", "<TR ");
    replaceAll(html, "<td>", "<Td>");
    const std::vector<ResultRow> rows = rowsOf(html);
    EXPECT_EQ(columnOf(rows, Column::Domain),
              QStringList({QStringLiteral("a.com"), QStringLiteral("b.com")}));
    EXPECT_EQ(columnOf(rows, Column::DeletionType),
              QStringList({QStringLiteral("D"), QStringLiteral("D")}));
}

TEST(ParseRows, otherMarkersInCapitals_areNotRecognised) {
    std::string upperLinkEnd = ListPages::page("1", {Row{}});
    replaceAll(upperLinkEnd, "</a>", "</A>");
    EXPECT_TRUE(rowsOf(upperLinkEnd).empty());

    std::string upperCellEnd = ListPages::page("1", {Row{}});
    replaceAll(upperCellEnd, "</td>", "</TD>");
    EXPECT_EQ(onlyRow(upperCellEnd).cells[Column::DeletionType], QString());

    Row upperImage;
    upperImage.suggestionCell = R"(<a target="_blank">7<IMG src="x"></a>)";
    EXPECT_EQ(cellOf(upperImage, Column::Suggestion), QStringLiteral("7<IMG src=\"x\">"));
}

TEST(ParseRows, domainMarkupIsStrippedInOnePass_blanksAndEntitiesStay) {
    Row row;
    row.linkText = "<b>ab</b> 88<span class=\"x\">.com</span>&amp;";
    row.deletionType = " D\n";
    const ResultRow parsed = onlyRow(ListPages::page("1", {row}));
    EXPECT_EQ(parsed.cells[Column::Domain], QStringLiteral("ab 88.com&amp;"));
    EXPECT_EQ(parsed.cells[Column::DeletionType], QStringLiteral(" D\n"));

    row.linkText = "a>b<c";
    EXPECT_EQ(cellOf(row, Column::Domain), QStringLiteral("ab"));
}

TEST(ParseRows, deletionTimeIsTheFirstTenCharactersOfTheThirdCell) {
    Row row;
    row.deletionTime = "12-06-01";
    EXPECT_EQ(cellOf(row, Column::DeletionTime), QStringLiteral("12-06-01</"));
}

TEST(ParseRows, theDeletionDateAndTimeOfDayAreReadFromTheCellAndTheShownTextStays) {
    struct Case {
        const char* cell;
        const char* shown;
        QDate date;
        const char* listed = "";
    };
    const Case cases[] = {
        {"2026-12-09 10:00:00", "2026-12-09", QDate(2026, 12, 9), "2026-12-09 10:00:00"},
        {"2026-12-09 23:59:59", "2026-12-09", QDate(2026, 12, 9), "2026-12-09 23:59:59"},
        {"2026-12-09 24:00:00", "2026-12-09", QDate(2026, 12, 9), "2026-12-09"},
        {"2026-12-09 10:00", "2026-12-09", QDate(2026, 12, 9), "2026-12-09"},
        {"2026-12-09T10:00:00", "2026-12-09", QDate(2026, 12, 9), "2026-12-09"},
        {"2026-13-01 10:00:00", "2026-13-01", QDate()},
        {"2026-12-09", "2026-12-09", QDate(2026, 12, 9), "2026-12-09"},
        {"2028-02-29", "2028-02-29", QDate(2028, 2, 29), "2028-02-29"},
        {"", "</td>", QDate()},
        {"即将删除", "即将删除</td>", QDate()},
        {"2026-13-01", "2026-13-01", QDate()},
        {"2026-02-29", "2026-02-29", QDate()},
        {"0000-01-01", "0000-01-01", QDate()},
        {"2026-12-9 10:00", "2026-12-9 ", QDate()},
        {" 2026-12-09", " 2026-12-0", QDate()},
        {"+026-12-09", "+026-12-09", QDate()},
        {"２０２６-12-09", "２０２６-12-09", QDate()},
    };
    for (const Case& c : cases) {
        Row row;
        row.deletionTime = c.cell;
        const ResultRow parsed = onlyRow(ListPages::page("1", {row}));
        EXPECT_EQ(parsed.cells[Column::DeletionTime], QString::fromUtf8(c.shown)) << c.cell;
        EXPECT_EQ(parsed.deletionDate(), c.date) << c.cell;
        EXPECT_EQ(parsed.listedDeletionTime(), QString::fromUtf8(c.listed)) << c.cell;
    }
}

TEST(ParseRows, imageInTheSixthCell_givesNoSuggestionEvenWithALink) {
    Row row;
    row.suggestionCell = R"(<a href="x" target="_blank"><img src="hot.png"></a>)";
    EXPECT_EQ(cellOf(row, Column::Suggestion), QString());
}

TEST(ParseRows, pageWithoutTableBody_givesNoRows) {
    const std::string rows = ListPages::rowHtml(Row{});
    const std::string bodies[] = {
        "",
        rows,
        "<tbody>" + rows,
        rows + "</tbody>",
        "</tbody>" + rows + "<tbody>",
        "<tbody>" + std::string("<td>a 信息\">x</a>") + "</tbody>",
    };
    for (const std::string& body : bodies)
        EXPECT_TRUE(rowsOf(body).empty()) << body;
}

TEST(ParseRows, rowWithoutItsDomain_isLeftOut_andTheNumberingHasNoGap) {
    const std::string noTitle =
        R"(<tr class="x"><td>1</td><td><a title="whois">c.com</a></td></tr>)";
    const std::string linkBeforeDomain =
        R"(<tr class="x"><td><a href="y">17</a></td><td><a title="信息">d.com</a></td></tr>)";
    const std::string titleAtLinkEnd = R"(<tr class="x"><td><a title="信息</a></td></tr>)";
    const std::string html = "<tbody>" + ListPages::rowHtml(Row{}) + noTitle + linkBeforeDomain +
                             titleAtLinkEnd + ListPages::rowHtml(Row{}) + "</tbody>";
    const std::vector<ResultRow> rows = ParseRows(text(html), 8);
    EXPECT_EQ(columnOf(rows, Column::Number),
              QStringList({QStringLiteral("8"), QStringLiteral("9")}));
    EXPECT_EQ(columnOf(rows, Column::Domain),
              QStringList({QStringLiteral("ab88.com"), QStringLiteral("ab88.com")}));
}

TEST(ParseRows, missingCellsAndEndMarkers_giveEmptyTexts) {
    const std::string threeCells =
        R"(<tr ><td>1</td><td><a title="信息">e.com</a></td><td>2012-06-01 00:00:00)";
    const ResultRow short_ = onlyRow("<tbody>" + threeCells + "</tbody>");
    EXPECT_EQ(short_.cells[Column::Domain], QStringLiteral("e.com"));
    EXPECT_EQ(short_.cells[Column::DeletionTime], QStringLiteral("2012-06-01"));
    EXPECT_EQ(short_.cells[Column::DeletionType], QString());
    EXPECT_EQ(short_.cells[Column::Suggestion], QString());

    Row row;
    row.suggestionCell = R"(<a href="x">3</a>)";
    EXPECT_EQ(cellOf(row, Column::Suggestion), QString());
    row.suggestionCell = R"(<a href="x">2</a><a target="_blank">3</a>)";
    EXPECT_EQ(cellOf(row, Column::Suggestion), QString());
    row.suggestionCell = R"(<a target="_blank">3)";
    EXPECT_EQ(cellOf(row, Column::Suggestion), QString());
}

TEST(ReadPageCount, readsTheWholeNumberBeforeTheBoldEnd) {
    const std::pair<std::string, int>
        cases[] =
            {
                {"4", 4},         {" 12", 12},      {"12 ", 12},      {"0", 0},
                {"32767", 32767}, {"12345", 12345}, {"32768", 32768}, {"99999", 99999},
                {"-3", 1},        {"abc", 1},       {"", 1},          {"1 2", 1},
                {"4.5", 1},       {"123456", 1}, // its "</b>" ends beyond the nine characters
            };
    for (const auto& [countText, expected] : cases)
        EXPECT_EQ(ReadPageCount(text(ListPages::page(countText, {}))), expected) << countText;
}

TEST(ReadPageCount, missingOrCutMarkers_countAsOnePage) {
    EXPECT_EQ(ReadPageCount(QStringView()), 1);
    std::string html = ListPages::page("7", {});
    replaceAll(html, "</b>", "</B>");
    EXPECT_EQ(ReadPageCount(text(html)), 1);
    EXPECT_EQ(ReadPageCount(text("120 条记录 / <b>7")), 1);
    EXPECT_EQ(ReadPageCount(text("120 条记录")), 1);
    EXPECT_EQ(ReadPageCount(text("<b>7</b> pages")), 1);
}

} // namespace
