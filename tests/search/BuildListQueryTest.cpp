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
    criteria.place = KeywordPosition::Left;
    criteria.lengthFrom = QStringLiteral("2");
    criteria.lengthTo = QStringLiteral("5");
    criteria.characters = {true, false, false};
    criteria.shapes = {true, true, false, false, false, false};
    criteria.pinyinSyllables = 2;
    criteria.order = ResultOrder::DateThenLength;
    criteria.suffixes = {true, false, false, true};
    criteria.deletionType = DeletionTypeFilter::All;
    criteria.deletionDate = {DeletionDate::Kind::Day, QDate(2026, 12, 6)};
    EXPECT_EQ(queryOf(criteria),
              QStringLiteral("kw=abc&p=1&bl=2&el=5&ds%5B%5D=1&py=1&pl=2&ab=1&sort=5"
                             "&suffix%5B%5D=com&suffix%5B%5D=cn&dt=0&date=2026-12-06"
                             "&pagesize=30&st=1"));
}

TEST(BuildListQuery, placesAndOrdersGiveTheServicesCodes) {
    SearchCriteria criteria = ListPages::openingCriteria();
    const std::pair<KeywordPosition, const char16_t*> places[] = {
        {KeywordPosition::Anywhere, u"&p=0&"},
        {KeywordPosition::Left, u"&p=1&"},
        {KeywordPosition::Right, u"&p=2&"},
        {KeywordPosition::LeftOrRight, u"&p=3&"}};
    for (const auto& [place, expected] : places) {
        criteria.place = place;
        EXPECT_TRUE(queryOf(criteria).contains(QStringView(expected))) << static_cast<int>(place);
    }
    const std::pair<ResultOrder, const char16_t*> orders[] = {
        {ResultOrder::Length, u"&sort=1&"},
        {ResultOrder::Letters, u"&sort=2&"},
        {ResultOrder::Suffix, u"&sort=3&"},
        {ResultOrder::DateThenLetters, u"&sort=4&"},
        {ResultOrder::DateThenLength, u"&sort=5&"}};
    for (const auto& [order, expected] : orders) {
        criteria.order = order;
        EXPECT_TRUE(queryOf(criteria).contains(QStringView(expected))) << static_cast<int>(order);
    }
}

TEST(BuildListQuery, deletionDate_groupsGiveCodes_daysGoZeroPadded) {
    SearchCriteria criteria = ListPages::openingCriteria();
    criteria.deletionDate = {DeletionDate::Kind::Coming, {}};
    EXPECT_TRUE(queryOf(criteria).endsWith(u"&date=0&pagesize=30&st=1"));
    criteria.deletionDate = {DeletionDate::Kind::Past, {}};
    EXPECT_TRUE(queryOf(criteria).endsWith(u"&date=1&pagesize=30&st=1"));
    criteria.deletionDate = {DeletionDate::Kind::Day, QDate(2027, 1, 2)};
    EXPECT_TRUE(queryOf(criteria).endsWith(u"&date=2027-01-02&pagesize=30&st=1"));
    criteria.deletionDate = {DeletionDate::Kind::Any, {}};
    EXPECT_TRUE(queryOf(criteria).endsWith(u"&date=&pagesize=30&st=1"));
}

TEST(BuildListQuery, deletionType_eachTypeItsCode) {
    SearchCriteria criteria = ListPages::openingCriteria();
    const std::pair<DeletionTypeFilter, const char16_t*> cases[] = {
        {DeletionTypeFilter::All, u"&dt=0&"},
        {DeletionTypeFilter::Delete, u"&dt=1&"},
        {DeletionTypeFilter::PreRelease, u"&dt=2&"},
    };
    for (const auto& [type, expected] : cases) {
        criteria.deletionType = type;
        EXPECT_TRUE(queryOf(criteria).contains(QStringView(expected))) << static_cast<int>(type);
    }
}

TEST(BuildListQuery, pinyinCount_onlyWhenPinyinTickedAndSyllablesChosen) {
    SearchCriteria criteria = ListPages::openingCriteria();
    criteria.shapes.pinyin = true;
    criteria.pinyinSyllables = 0;
    EXPECT_TRUE(queryOf(criteria).contains(u"&ds%5B%5D=2&py=1&pl=&sort=1&"));
    criteria.pinyinSyllables = 4;
    EXPECT_TRUE(queryOf(criteria).contains(u"&py=1&pl=4&sort=1&"));

    criteria.shapes.pinyin = false;
    const QString query = queryOf(criteria);
    EXPECT_FALSE(query.contains(u"&py="));
    EXPECT_TRUE(query.contains(u"&ds%5B%5D=2&pl=&sort=1&"));
}

TEST(BuildListQuery, allShapeBoxes_standBetweenPinyinCountAndSort) {
    SearchCriteria criteria = ListPages::openingCriteria();
    criteria.shapes = {false, true, true, true, true, true};
    EXPECT_TRUE(queryOf(criteria).contains(u"&pl=&ab=1&cv=1&vy=1&ai=1&hs=1&sort=1&"));
}

TEST(BuildListQuery, noBoxesTicked_keepOnlyTheAlwaysPresentPairs) {
    SearchCriteria criteria;
    criteria.deletionDate = {DeletionDate::Kind::Any, {}};
    EXPECT_EQ(queryOf(criteria),
              QStringLiteral("kw=&p=0&bl=&el=&pl=&sort=1&dt=0&date=&pagesize=30&st=1"));
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
