#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

// The entries of the three drop-down criteria lists. The query builder compares the shown
// text against these same entries, so both read them from here.
namespace CriteriaLists {

// Combo1: number of pinyin syllables.
inline const QString kAllPinyin = QStringLiteral("全部拼音");
inline const QString kOneSyllable = QStringLiteral("单拼音");
inline const QString kTwoSyllables = QStringLiteral("双拼音");
inline const QString kThreeSyllables = QStringLiteral("三拼音");
inline const QString kFourSyllables = QStringLiteral("四拼音");

// Combo2: deletion type.
inline const QString kAllTypes = QStringLiteral("----全部----");
inline const QString kDelete = QStringLiteral("Delete");
inline const QString kPreRelease = QStringLiteral("Pre-Release");

// Combo3: the two group entries around the dates.
inline const QString kComingDeletions = QStringLiteral("即将删除");
inline const QString kPastDeletions = QStringLiteral("已经删除");

QStringList pinyinChoices();
QStringList deletionTypeChoices();
// Today and the next four days (latest first), then yesterday back to five days ago.
QStringList deletionDateChoices(const QDate& today);
// yyyy-mm-dd, zero-padded, whatever the regional settings say.
QString dateEntry(const QDate& date);

} // namespace CriteriaLists
