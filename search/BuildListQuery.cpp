#include "search/BuildListQuery.h"

#include "search/CriteriaLists.h"

#include <QStringList>

namespace {

QString flag(bool ticked, const QString& value) {
    return ticked ? value : QString();
}

// Position codes count from 0, sort codes from 1: the service numbers them that way.
QString optionCode(int selected, int buttons, int firstCode) {
    if (selected < 0 || selected >= buttons)
        return {};
    return QString::number(selected + firstCode);
}

QString pinyinLengthCode(const SearchCriteria& criteria) {
    if (!criteria.structures[0])
        return {};
    const QStringList choices = CriteriaLists::pinyinChoices();
    const qsizetype at = choices.indexOf(criteria.pinyinChoice);
    // The first entry ("all pinyin") and any unknown text send no syllable count.
    return at > 0 ? QString::number(at) : QString();
}

QString deletionTypeCode(const QString& choice) {
    const qsizetype at = CriteriaLists::deletionTypeChoices().indexOf(choice);
    return at >= 0 ? QString::number(at) : QString();
}

QString deletionDateValue(const QString& choice) {
    if (choice == CriteriaLists::kComingDeletions)
        return QStringLiteral("0");
    if (choice == CriteriaLists::kPastDeletions)
        return QStringLiteral("1");
    return choice;
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
        {u"&p=", optionCode(c.positionIndex, 4, 0), false},
        {u"&bl=", c.lengthFrom, false},
        {u"&el=", c.lengthTo, false},
        {u"&ds%5B%5D=", flag(c.characters[0], QStringLiteral("1")), true},
        {u"&ds%5B%5D=", flag(c.characters[1], QStringLiteral("2")), true},
        {u"&ds%5B%5D=", flag(c.characters[2], QStringLiteral("3")), true},
        {u"&py=", flag(c.structures[0], QStringLiteral("1")), true},
        {u"&pl=", pinyinLengthCode(c), false},
        {u"&ab=", flag(c.structures[1], QStringLiteral("1")), true},
        {u"&cv=", flag(c.structures[2], QStringLiteral("1")), true},
        {u"&vy=", flag(c.structures[3], QStringLiteral("1")), true},
        {u"&ai=", flag(c.structures[4], QStringLiteral("1")), true},
        {u"&hs=", flag(c.structures[5], QStringLiteral("1")), true},
        {u"&sort=", optionCode(c.sortIndex, 5, 1), false},
        {u"&suffix%5B%5D=", flag(c.suffixes[0], QStringLiteral("com")), true},
        {u"&suffix%5B%5D=", flag(c.suffixes[1], QStringLiteral("net")), true},
        {u"&suffix%5B%5D=", flag(c.suffixes[2], QStringLiteral("org")), true},
        {u"&suffix%5B%5D=", flag(c.suffixes[3], QStringLiteral("cn")), true},
        {u"&dt=", deletionTypeCode(c.deletionTypeChoice), false},
        {u"&date=", deletionDateValue(c.deletionDateChoice), false},
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
