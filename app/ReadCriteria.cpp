#include "app/ReadCriteria.h"

#include "app/Form1Controls.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace {

template <size_t N> std::array<bool, N> ticked(const std::array<QCheckBox*, N>& boxes) {
    std::array<bool, N> result{};
    for (size_t i = 0; i < N; ++i)
        result[i] = boxes[i]->isChecked();
    return result;
}

} // namespace

SearchCriteria ReadCriteria(const Form1Controls& c) {
    SearchCriteria criteria;
    criteria.keyword = c.Text1->text();
    criteria.positionIndex = c.option1Group->checkedId();
    criteria.lengthFrom = c.Text2[0]->text();
    criteria.lengthTo = c.Text2[1]->text();
    criteria.characters = ticked(c.Check1);
    criteria.structures = ticked(c.Check2);
    criteria.pinyinChoice = c.Combo1->currentText();
    criteria.sortIndex = c.option2Group->checkedId();
    criteria.suffixes = ticked(c.Check3);
    criteria.deletionTypeChoice = c.Combo2->currentText();
    criteria.deletionDateChoice = c.Combo3->currentText();
    return criteria;
}
