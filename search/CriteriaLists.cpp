#include "search/CriteriaLists.h"

namespace CriteriaLists {

QStringList pinyinChoices() {
    return {kAllPinyin, kOneSyllable, kTwoSyllables, kThreeSyllables, kFourSyllables};
}

QStringList deletionTypeChoices() {
    return {kAllTypes, kDelete, kPreRelease};
}

QString dateEntry(const QDate& date) {
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

QStringList deletionDateChoices(const QDate& today) {
    QStringList entries{kComingDeletions};
    for (int offset = 4; offset >= 0; --offset)
        entries << dateEntry(today.addDays(offset));
    entries << kPastDeletions;
    for (int offset = 1; offset <= 5; ++offset)
        entries << dateEntry(today.addDays(-offset));
    return entries;
}

} // namespace CriteriaLists
