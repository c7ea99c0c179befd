#include "app/CriteriaControls.h"

#include "search/CriteriaLists.h"
#include "ui_MainWindow.h"

#include <algorithm>

void FillCriteriaLists(Ui::MainWindow& ui, const QDate& today) {
    ui.pinyinCombo->addItems(CriteriaLists::pinyinChoices());
    ui.pinyinCombo->setCurrentText(CriteriaLists::kAllPinyin);
    ui.deletionTypeCombo->addItems(CriteriaLists::deletionTypeChoices());
    ui.deletionTypeCombo->setCurrentText(CriteriaLists::kDelete);
    ui.deletionDateCombo->addItems(CriteriaLists::deletionDateChoices(today));
    ui.deletionDateCombo->setCurrentText(CriteriaLists::kPastDeletions);
}

namespace {

// The selected button's place in its group; the groups are exclusive and start with one on.
template <typename Value>
Value selected(std::initializer_list<std::pair<const QRadioButton*, Value>> buttons) {
    for (const auto& [button, value] : buttons) {
        if (button->isChecked())
            return value;
    }
    return buttons.begin()->second;
}

DeletionDate deletionDateOf(const QString& entry) {
    if (entry == CriteriaLists::kComingDeletions)
        return {DeletionDate::Kind::Coming, {}};
    if (entry == CriteriaLists::kPastDeletions)
        return {DeletionDate::Kind::Past, {}};
    return {DeletionDate::Kind::Day, QDate::fromString(entry, QStringLiteral("yyyy-MM-dd"))};
}

} // namespace

SearchCriteria ReadCriteria(const Ui::MainWindow& ui) {
    SearchCriteria c;
    c.keyword = ui.keywordEdit->text();
    c.place = selected<KeywordPosition>({{ui.anywhereOption, KeywordPosition::Anywhere},
                                         {ui.leftOption, KeywordPosition::Left},
                                         {ui.rightOption, KeywordPosition::Right},
                                         {ui.leftOrRightOption, KeywordPosition::LeftOrRight}});
    c.lengthFrom = ui.lengthFromEdit->text();
    c.lengthTo = ui.lengthToEdit->text();
    c.characters = {ui.lettersCheck->isChecked(), ui.digitsCheck->isChecked(),
                    ui.hyphenCheck->isChecked()};
    c.shapes = {ui.pinyinCheck->isChecked(),         ui.repeatedPairsCheck->isChecked(),
                ui.consonantVowelCheck->isChecked(), ui.yAsVowelCheck->isChecked(),
                ui.initialsOnlyCheck->isChecked(),   ui.suggestionCheck->isChecked()};
    // The pinyin list runs from "any number" through one to four syllables.
    c.pinyinSyllables = std::max(ui.pinyinCombo->currentIndex(), 0);
    c.order =
        selected<ResultOrder>({{ui.orderByLengthOption, ResultOrder::Length},
                               {ui.orderByLettersOption, ResultOrder::Letters},
                               {ui.orderBySuffixOption, ResultOrder::Suffix},
                               {ui.orderByDateThenLettersOption, ResultOrder::DateThenLetters},
                               {ui.orderByDateThenLengthOption, ResultOrder::DateThenLength}});
    c.suffixes = {ui.comCheck->isChecked(), ui.netCheck->isChecked(), ui.orgCheck->isChecked(),
                  ui.cnCheck->isChecked()};
    // The deletion type list holds the types in their order: all, Delete, Pre-Release.
    c.deletionType =
        static_cast<DeletionTypeFilter>(std::clamp(ui.deletionTypeCombo->currentIndex(), 0, 2));
    c.deletionDate = deletionDateOf(ui.deletionDateCombo->currentText());
    return c;
}
