#include "app/CriteriaControls.h"

#include "search/CriteriaLists.h"
#include "ui_MainWindow.h"

void FillCriteriaLists(Ui::MainWindow& ui, const QDate& today) {
    ui.pinyinCombo->addItems(CriteriaLists::pinyinChoices());
    ui.pinyinCombo->setCurrentText(CriteriaLists::kAllPinyin);
    ui.deletionTypeCombo->addItems(CriteriaLists::deletionTypeChoices());
    ui.deletionTypeCombo->setCurrentText(CriteriaLists::kDelete);
    ui.deletionDateCombo->addItems(CriteriaLists::deletionDateChoices(today));
    ui.deletionDateCombo->setCurrentText(CriteriaLists::kPastDeletions);
}

namespace {

template <typename Button> int selectedIndex(std::initializer_list<Button*> buttons) {
    int index = 0;
    for (const Button* button : buttons) {
        if (button->isChecked())
            return index;
        ++index;
    }
    return -1;
}

} // namespace

SearchCriteria ReadCriteria(const Ui::MainWindow& ui) {
    SearchCriteria criteria;
    criteria.keyword = ui.keywordEdit->text();
    criteria.positionIndex =
        selectedIndex({ui.anywhereOption, ui.leftOption, ui.rightOption, ui.leftOrRightOption});
    criteria.lengthFrom = ui.lengthFromEdit->text();
    criteria.lengthTo = ui.lengthToEdit->text();
    criteria.characters = {ui.lettersCheck->isChecked(), ui.digitsCheck->isChecked(),
                           ui.hyphenCheck->isChecked()};
    criteria.structures = {ui.pinyinCheck->isChecked(),       ui.repeatedPairsCheck->isChecked(),
                           ui.consonantVowelCheck->isChecked(), ui.yAsVowelCheck->isChecked(),
                           ui.initialsOnlyCheck->isChecked(), ui.suggestionCheck->isChecked()};
    criteria.pinyinChoice = ui.pinyinCombo->currentText();
    criteria.sortIndex = selectedIndex({ui.orderByLengthOption, ui.orderByLettersOption,
                                        ui.orderBySuffixOption, ui.orderByDateThenLettersOption,
                                        ui.orderByDateThenLengthOption});
    criteria.suffixes = {ui.comCheck->isChecked(), ui.netCheck->isChecked(),
                         ui.orgCheck->isChecked(), ui.cnCheck->isChecked()};
    criteria.deletionTypeChoice = ui.deletionTypeCombo->currentText();
    criteria.deletionDateChoice = ui.deletionDateCombo->currentText();
    return criteria;
}
