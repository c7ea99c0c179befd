#include "search/BuildListQuery.h"

#include "search/CriteriaLists.h"

#include <QStringList>

namespace {

QString flag(bool ticked, const QString& value) {
    return ticked ? value : QString();
}

// Place codes count from 0, order codes from 1: the service numbers them that way.
QString placeCode(KeywordPosition place) {
    return QString::number(static_cast<int>(place));
}

QString orderCode(ResultOrder order) {
    return QString::number(static_cast<int>(order) + 1);
}

// Sent only with pinyin ticked, and empty for any number of syllables.
QString pinyinSyllablesCode(const SearchCriteria& criteria) {
    if (!criteria.shapes.pinyin || criteria.pinyinSyllables <= 0)
        return {};
    return QString::number(criteria.pinyinSyllables);
}

QString deletionTypeCode(DeletionTypeFilter type) {
    return QString::number(static_cast<int>(type));
}

QString deletionDateValue(const DeletionDate& date) {
    switch (date.kind) {
    case DeletionDate::Kind::Coming:
        return QStringLiteral("0");
    case DeletionDate::Kind::Past:
        return QStringLiteral("1");
    case DeletionDate::Kind::Day:
        return CriteriaLists::dateEntry(date.day);
    case DeletionDate::Kind::Any:
        break;
    }
    return {};
}

} // namespace

QString BuildListQuery(const QString& listBase, const SearchCriteria& criteria) {
    struct Pair {
        const char16_t* key;
        QString value;
        bool onlyWhenSet;
    };
    const auto& c = criteria;
    const Pair pairs[] = {
        {u"kw=", c.keyword, false},
        {u"&p=", placeCode(c.place), false},
        {u"&bl=", c.lengthFrom, false},
        {u"&el=", c.lengthTo, false},
        {u"&ds%5B%5D=", flag(c.characters.letters, QStringLiteral("1")), true},
        {u"&ds%5B%5D=", flag(c.characters.digits, QStringLiteral("2")), true},
        {u"&ds%5B%5D=", flag(c.characters.hyphen, QStringLiteral("3")), true},
        {u"&py=", flag(c.shapes.pinyin, QStringLiteral("1")), true},
        {u"&pl=", pinyinSyllablesCode(c), false},
        {u"&ab=", flag(c.shapes.repeatedPairs, QStringLiteral("1")), true},
        {u"&cv=", flag(c.shapes.consonantVowel, QStringLiteral("1")), true},
        {u"&vy=", flag(c.shapes.yAsVowel, QStringLiteral("1")), true},
        {u"&ai=", flag(c.shapes.initialsOnly, QStringLiteral("1")), true},
        {u"&hs=", flag(c.shapes.suggested, QStringLiteral("1")), true},
        {u"&sort=", orderCode(c.order), false},
        {u"&suffix%5B%5D=", flag(c.suffixes.com, QStringLiteral("com")), true},
        {u"&suffix%5B%5D=", flag(c.suffixes.net, QStringLiteral("net")), true},
        {u"&suffix%5B%5D=", flag(c.suffixes.org, QStringLiteral("org")), true},
        {u"&suffix%5B%5D=", flag(c.suffixes.cn, QStringLiteral("cn")), true},
        {u"&dt=", deletionTypeCode(c.deletionType), false},
        {u"&date=", deletionDateValue(c.deletionDate), false},
        {u"&pagesize=30", QString(), false},
        {u"&st=1", QString(), false},
    };

    QString query = listBase;
    for (const Pair& pair : pairs) {
        if (pair.onlyWhenSet && pair.value.isEmpty())
            continue;
        query += QStringView(pair.key);
        query += pair.value;
    }
    return query;
}
