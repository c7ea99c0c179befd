#include "search/MatchCriteria.h"
#include "criteria/MatchNames.h"
#include "sandbox/HandMadeDomains.h"
#include "search/BuildListQuery.h"
#include "search/ReadDropList.h"
#include "support/ListPages.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Change = std::function<void(SearchCriteria&)>;

// Criteria that let every name through: what each change below is tried on, besides the
// criteria of the window as it opens.
SearchCriteria Open() {
    SearchCriteria c;
    c.deletionType = DeletionTypeFilter::All;
    c.deletionDate.kind = DeletionDate::Kind::Any;
    return c;
}

const std::vector<std::pair<const char*, Change>>& Changes() {
    static const std::vector<std::pair<const char*, Change>> changes = {
        {"nothing", [](SearchCriteria&) {}},
        {"keyword anywhere", [](SearchCriteria& c) { c.keyword = QStringLiteral("a"); }},
        {"keyword left",
         [](SearchCriteria& c) {
             c.keyword = QStringLiteral("a");
             c.place = KeywordPosition::Left;
         }},
        {"keyword right, blanks and capitals",
         [](SearchCriteria& c) {
             c.keyword = QStringLiteral(" SHOP ");
             c.place = KeywordPosition::Right;
         }},
        {"keyword left or right",
         [](SearchCriteria& c) {
             c.keyword = QStringLiteral("a");
             c.place = KeywordPosition::LeftOrRight;
         }},
        {"keyword with a hyphen", [](SearchCriteria& c) { c.keyword = QStringLiteral("-"); }},
        {"lengths",
         [](SearchCriteria& c) {
             c.lengthFrom = QStringLiteral("5");
             c.lengthTo = QStringLiteral("6");
         }},
        {"reversed lengths",
         [](SearchCriteria& c) {
             c.lengthFrom = QStringLiteral("10");
             c.lengthTo = QStringLiteral("5");
         }},
        {"a length that is no number",
         [](SearchCriteria& c) {
             c.lengthFrom = QStringLiteral("abc");
             c.lengthTo = QStringLiteral(" 3 ");
         }},
        {"letters", [](SearchCriteria& c) { c.characters.letters = true; }},
        {"digits and hyphen",
         [](SearchCriteria& c) {
             c.characters.digits = true;
             c.characters.hyphen = true;
         }},
        {"pinyin", [](SearchCriteria& c) { c.shapes.pinyin = true; }},
        {"two syllables",
         [](SearchCriteria& c) {
             c.shapes.pinyin = true;
             c.pinyinSyllables = 2;
         }},
        {"syllables without pinyin", [](SearchCriteria& c) { c.pinyinSyllables = 1; }},
        {"repeated pairs", [](SearchCriteria& c) { c.shapes.repeatedPairs = true; }},
        {"consonant vowel", [](SearchCriteria& c) { c.shapes.consonantVowel = true; }},
        {"consonant vowel, y a vowel",
         [](SearchCriteria& c) {
             c.shapes.consonantVowel = true;
             c.shapes.yAsVowel = true;
         }},
        {"initials only", [](SearchCriteria& c) { c.shapes.initialsOnly = true; }},
        {"suggested", [](SearchCriteria& c) { c.shapes.suggested = true; }},
        {".com", [](SearchCriteria& c) { c.suffixes.com = true; }},
        {".net and .cn",
         [](SearchCriteria& c) {
             c.suffixes.net = true;
             c.suffixes.cn = true;
         }},
        {"Delete", [](SearchCriteria& c) { c.deletionType = DeletionTypeFilter::Delete; }},
        {"Pre-Release", [](SearchCriteria& c) { c.deletionType = DeletionTypeFilter::PreRelease; }},
        {"coming", [](SearchCriteria& c) { c.deletionDate.kind = DeletionDate::Kind::Coming; }},
        {"past", [](SearchCriteria& c) { c.deletionDate.kind = DeletionDate::Kind::Past; }},
        {"one day",
         [](SearchCriteria& c) {
             c.deletionDate.kind = DeletionDate::Kind::Day;
             c.deletionDate.day = kToday.addDays(-1);
         }},
    };
    return changes;
}

std::vector<SearchCriteria> EveryCriteria() {
    std::vector<SearchCriteria> all;
    for (const SearchCriteria& base : {Open(), ListPages::openingCriteria()}) {
        for (const auto& [name, change] : Changes()) {
            SearchCriteria c = base;
            change(c);
            all.push_back(c);
        }
    }
    return all;
}

// The criteria as the stand-in reads them from the query the program sends.
ListQuery StandInQuery(const SearchCriteria& criteria) {
    const QString address = BuildListQuery(QStringLiteral("http://127.0.0.1:1/?"), criteria);
    return ParseListQuery(ValuesOf(address.mid(address.indexOf(u'?') + 1).toStdString()));
}

TEST(MatchCriteria, sameNamesAsTheListServiceForTheSameCriteria) {
    const DomainCatalog catalog(HandMadeDomains());
    int selected = 0;
    for (const SearchCriteria& criteria : EveryCriteria()) {
        const ListQuery query = StandInQuery(criteria);
        const NameCriteria mapped = MatchCriteriaOf(criteria);
        for (DomainCatalog::Index i = 0; i < catalog.size(); ++i) {
            const DeletedDomain& d = catalog.domain(i);
            const ListedName entry{d.name, d.suffix, d.type, d.deletionDate, d.suggestion};
            const bool service = MatchesQuery(query, d, catalog.traits(i), kToday);
            EXPECT_EQ(MatchesCriteria(mapped, entry, kToday), service)
                << d.fullName() << " with " << BuildListQuery({}, criteria).toStdString();
            selected += service;
        }
    }
    EXPECT_GT(selected, 0);
}

// The whole way: the hand-made data set as a CSV drop list (which gives no suggestions), read
// with the mapped criteria, keeps the names that the list service lists.
TEST(MatchCriteria, dropListKeepsWhatTheServiceLists) {
    const DomainCatalog catalog(HandMadeDomains());
    QByteArray csv = "域名,删除日期,删除类型\n";
    for (DomainCatalog::Index i = 0; i < catalog.size(); ++i) {
        const DeletedDomain& d = catalog.domain(i);
        csv += QByteArray::fromStdString(d.fullName()) + ',' +
               d.deletionDate.toString(Qt::ISODate).toUtf8() + ',' + DeletionTypeText(d.type) +
               '\n';
    }
    for (const SearchCriteria& criteria : EveryCriteria()) {
        if (criteria.shapes.suggested)
            continue;
        QStringList listed;
        for (const DomainCatalog::Index i : FindMatches(catalog, StandInQuery(criteria), kToday))
            listed << QString::fromStdString(catalog.domain(i).fullName());
        QBuffer buffer(&csv);
        buffer.open(QIODevice::ReadOnly);
        QStringList kept;
        DropListCallbacks callbacks;
        callbacks.rows = [&kept](std::vector<ResultRow>&& rows) {
            for (const ResultRow& row : rows)
                kept << row.cells[ResultListModel::Domain];
        };
        const DropListOutcome outcome =
            ReadDropList(buffer, DropListForm::Csv, MatchCriteriaOf(criteria), kToday, callbacks);
        EXPECT_TRUE(outcome.problem.isEmpty());
        listed.sort();
        kept.sort();
        EXPECT_EQ(kept, listed) << BuildListQuery({}, criteria).toStdString();
    }
}

} // namespace
