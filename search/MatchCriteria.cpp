#include "search/MatchCriteria.h"

#include "criteria/CriteriaText.h"
#include "search/CriteriaLists.h"

namespace {

// The text the query builder sends after "&date=".
QByteArray deletionDateText(const DeletionDate& date) {
    switch (date.kind) {
    case DeletionDate::Kind::Coming:
        return QByteArrayLiteral("0");
    case DeletionDate::Kind::Past:
        return QByteArrayLiteral("1");
    case DeletionDate::Kind::Day:
        return CriteriaLists::dateEntry(date.day).toUtf8();
    case DeletionDate::Kind::Any:
        break;
    }
    return {};
}

} // namespace

NameCriteria MatchCriteriaOf(const SearchCriteria& c) {
    NameCriteria criteria;
    criteria.keyword = NormaliseKeyword(c.keyword.toStdString());
    criteria.place = static_cast<KeywordPlace>(static_cast<int>(c.place));
    SetLengthBounds(criteria, c.lengthFrom.toStdString(), c.lengthTo.toStdString());

    if (c.characters.letters)
        criteria.allowedClasses |= kLetters;
    if (c.characters.digits)
        criteria.allowedClasses |= kDigits;
    if (c.characters.hyphen)
        criteria.allowedClasses |= kHyphen;

    criteria.pinyin = c.shapes.pinyin;
    if (c.shapes.pinyin && c.pinyinSyllables >= 1 && c.pinyinSyllables <= kMostPinyinSyllables)
        criteria.pinyinSyllables = c.pinyinSyllables;
    criteria.repetition = c.shapes.repeatedPairs;
    criteria.consonantVowel = c.shapes.consonantVowel;
    criteria.yIsVowel = c.shapes.yAsVowel;
    criteria.initialsOnly = c.shapes.initialsOnly;
    criteria.withSuggestion = c.shapes.suggested;

    const std::pair<bool, const char*> suffixes[] = {{c.suffixes.com, "com"},
                                                     {c.suffixes.net, "net"},
                                                     {c.suffixes.org, "org"},
                                                     {c.suffixes.cn, "cn"}};
    for (const auto& [ticked, suffix] : suffixes) {
        if (ticked)
            AddSuffix(criteria, suffix);
    }

    switch (c.deletionType) {
    case DeletionTypeFilter::All:
        criteria.type = TypeChoice::All;
        break;
    case DeletionTypeFilter::Delete:
        criteria.type = TypeChoice::Delete;
        break;
    case DeletionTypeFilter::PreRelease:
        criteria.type = TypeChoice::PreRelease;
        break;
    }
    SetDeletionDate(criteria, deletionDateText(c.deletionDate).toStdString());
    return criteria;
}
