#include "search/BuildListQuery.h"
#include "search/CriteriaLists.h"
#include "support/ListPages.h"

#include <gtest/gtest.h>

namespace {

const QString kBase = QStringLiteral("http://list.example/?");

QString queryOf(const SearchCriteria& criteria) {
    const QString address = BuildListQuery(kBase, criteria);
    EXPECT_TRUE(address.startsWith(kBase));
    return address.mid(kBase.size());
}

TEST(BuildListQuery, windowAsItOpens_givesTheOpeningQuery) {
    EXPECT_EQ(BuildListQuery(kBase, ListPages::openingCriteria()),
              kBase + QString::fromLatin1(ListPages::kOpeningQuery));
}

TEST(BuildListQuery, everyKindOfCriterion_givesEveryPairInOrder) {
    SearchCriteria criteria = ListPages::openingCriteria();
    criteria.keyword = QStringLiteral("abc");
    criteria.positionIndex = 1;
    criteria.lengthFrom = QStringLiteral("2");
    criteria.lengthTo = QStringLiteral("5");
    criteria.characters = {true, false, false};
    criteria.structures = {true, true, false, false, false, false};
    criteria.pinyinChoice = CriteriaLists::kTwoSyllables;
    criteria.sortIndex = 4;
    criteria.suffixes = {true, false, false, true};
    criteria.deletionTypeChoice = CriteriaLists::kAllTypes;
    criteria.deletionDateChoice = QStringLiteral("2026-12-06");
    EXPECT_EQ(queryOf(criteria),
              QStringLiteral("kw=abc&p=1&bl=2&el=5&ds%5B%5D=1&py=1&pl=2&ab=1&sort=5"
                             "&suffix%5B%5D=com&suffix%5B%5D=cn&dt=0&date=2026-12-06"
                             "&pagesize=30&st=1"));
}

TEST(BuildListQuery, deletionDate_groupsGiveCodes_datesGoAsTheyAre) {
    SearchCriteria criteria = ListPages::openingCriteria();
    criteria.deletionDateChoice = CriteriaLists::kComingDeletions;
    EXPECT_TRUE(queryOf(criteria).endsWith(u"&date=0&pagesize=30&st=1"));
    criteria.deletionDateChoice = CriteriaLists::kPastDeletions;
    EXPECT_TRUE(queryOf(criteria).endsWith(u"&date=1&pagesize=30&st=1"));
    criteria.deletionDateChoice = QStringLiteral("2026-12-12");
    EXPECT_TRUE(queryOf(criteria).endsWith(u"&date=2026-12-12&pagesize=30&st=1"));
}

TEST(BuildListQuery, deletionType_eachEntryItsCode_unknownTextEmpty) {
    SearchCriteria criteria = ListPages::openingCriteria();
    const std::pair<QString, QString> cases[] = {
        {CriteriaLists::kAllTypes, QStringLiteral("&dt=0&")},
        {CriteriaLists::kDelete, QStringLiteral("&dt=1&")},
        {CriteriaLists::kPreRelease, QStringLiteral("&dt=2&")},
        {QStringLiteral("delete"), QStringLiteral("&dt=&date=")},
    };
    for (const auto& [choice, expected] : cases) {
        criteria.deletionTypeChoice = choice;
        EXPECT_TRUE(queryOf(criteria).contains(expected)) << choice.toStdString();
    }
}

TEST(BuildListQuery, pinyinCount_onlyWhenPinyinTicked) {
    SearchCriteria criteria = ListPages::openingCriteria();
    criteria.structures[0] = true;
    criteria.pinyinChoice = CriteriaLists::kAllPinyin;
    EXPECT_TRUE(queryOf(criteria).contains(u"&ds%5B%5D=2&py=1&pl=&sort=1&"));
    criteria.pinyinChoice = CriteriaLists::kFourSyllables;
    EXPECT_TRUE(queryOf(criteria).contains(u"&py=1&pl=4&sort=1&"));

    criteria.structures[0] = false;
    const QString query = queryOf(criteria);
    EXPECT_FALSE(query.contains(u"&py="));
    EXPECT_TRUE(query.contains(u"&ds%5B%5D=2&pl=&sort=1&"));
}

TEST(BuildListQuery, allStructureBoxes_standBetweenPinyinCountAndSort) {
    SearchCriteria criteria = ListPages::openingCriteria();
    criteria.structures = {false, true, true, true, true, true};
    EXPECT_TRUE(queryOf(criteria).contains(u"&pl=&ab=1&cv=1&vy=1&ai=1&hs=1&sort=1&"));
}

TEST(BuildListQuery, noBoxesNoOptions_keepOnlyTheAlwaysPresentPairs) {
    SearchCriteria criteria;
    criteria.structures[0] = false;
    EXPECT_EQ(queryOf(criteria),
              QStringLiteral("kw=&p=&bl=&el=&pl=&sort=&dt=&date=&pagesize=30&st=1"));
}

TEST(BuildListQuery, typedTexts_goCharacterForCharacter) {
    SearchCriteria criteria = ListPages::openingCriteria();
    criteria.keyword = QStringLiteral(" ab-c&x=#1 ") + CriteriaLists::kAllPinyin;
    criteria.lengthFrom = QStringLiteral("10");
    criteria.lengthTo = QStringLiteral("2");
    EXPECT_TRUE(queryOf(criteria).startsWith(u"kw= ab-c&x=#1 " + CriteriaLists::kAllPinyin +
                                             u"&p=0&bl=10&el=2&ds%5B%5D=1"));
}

} // namespace
