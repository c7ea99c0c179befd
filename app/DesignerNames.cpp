#include "app/DesignerNames.h"

#include "ui_MainWindow.h"

#include <utility>

void ApplyDesignerNames(Ui::MainWindow& ui) {
    const std::pair<QWidget*, const char16_t*> names[] = {
        {ui.searchButton, u"Command1"},
        {ui.verifyButton, u"Command2"},
        {ui.filterButton, u"Command4"},
        {ui.clearButton, u"Command3"},
        {ui.bannerImage, u"Image1"},
        {ui.criteriaBox, u"Frame1"},
        {ui.resultView, u"ListView1"},
        {ui.targetBox, u"Frame3"},
        {ui.statusBar, u"StatusBar1"},
        {ui.keywordLabel, u"Label1(0)"},
        {ui.keywordEdit, u"Text1"},
        {ui.placePanel, u"Frame2"},
        {ui.lengthLabel, u"Label1(2)"},
        {ui.lengthFromEdit, u"Text2(0)"},
        {ui.lengthArrowLabel, u"Label1(3)"},
        {ui.lengthToEdit, u"Text2(1)"},
        {ui.lengthBetweenLabel, u"Label1(4)"},
        {ui.charactersLabel, u"Label1(5)"},
        {ui.lettersCheck, u"Check1(0)"},
        {ui.digitsCheck, u"Check1(1)"},
        {ui.hyphenCheck, u"Check1(2)"},
        {ui.shapesLabel, u"Label1(6)"},
        {ui.pinyinCheck, u"Check2(0)"},
        {ui.pinyinCombo, u"Combo1"},
        {ui.repeatedPairsCheck, u"Check2(1)"},
        {ui.consonantVowelCheck, u"Check2(2)"},
        {ui.yAsVowelCheck, u"Check2(3)"},
        {ui.initialsOnlyCheck, u"Check2(4)"},
        {ui.suggestionCheck, u"Check2(5)"},
        {ui.orderLabel, u"Label1(7)"},
        {ui.orderByLengthOption, u"Option2(0)"},
        {ui.orderByLettersOption, u"Option2(1)"},
        {ui.orderBySuffixOption, u"Option2(2)"},
        {ui.orderByDateThenLettersOption, u"Option2(3)"},
        {ui.orderByDateThenLengthOption, u"Option2(4)"},
        {ui.suffixLabel, u"Label1(8)"},
        {ui.comCheck, u"Check3(0)"},
        {ui.netCheck, u"Check3(1)"},
        {ui.orgCheck, u"Check3(2)"},
        {ui.cnCheck, u"Check3(3)"},
        {ui.deletionTypeLabel, u"Label1(9)"},
        {ui.deletionTypeCombo, u"Combo2"},
        {ui.deletionDateLabel, u"Label1(10)"},
        {ui.deletionDateCombo, u"Combo3"},
        {ui.placeLabel, u"Label1(1)"},
        {ui.anywhereOption, u"Option1(0)"},
        {ui.leftOption, u"Option1(1)"},
        {ui.rightOption, u"Option1(2)"},
        {ui.leftOrRightOption, u"Option1(3)"},
        {ui.targetDomainLabel, u"Label2"},
        {ui.targetDomainEdit, u"Text4"},
        {ui.targetCheckButton, u"Command5"},
    };
    for (const auto& [widget, name] : names)
        widget->setObjectName(QString::fromUtf16(name));
}
