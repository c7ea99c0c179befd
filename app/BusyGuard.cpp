#include "app/BusyGuard.h"

#include <QPushButton>
#include <QVariant>

namespace {

bool isBusy(const QPushButton* button) {
    return button->property(kTagProperty).toString() == QStringLiteral("1");
}

} // namespace

bool BusyGuard::passes() const {
    return !isBusy(m_search) && !isBusy(m_check);
}

BusyGuard::Running::Running(QPushButton* button) : m_button(button) {
    m_button->setProperty(kTagProperty, QStringLiteral("1"));
}

BusyGuard::Running::~Running() {
    m_button->setProperty(kTagProperty, QStringLiteral("0"));
}
