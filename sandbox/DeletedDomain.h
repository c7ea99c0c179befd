#pragma once

#include "criteria/NameCriteria.h"

#include <QDate>

#include <string>

// One entry of the list service: a name that has been deleted or is about to be.
struct DeletedDomain {
    std::string name;   // the label before the first dot, lower case
    std::string suffix; // everything after the first dot, lower case
    QDate deletionDate;
    int deletionSecond = 0; // seconds into the deletion day
    DeletionType type = DeletionType::Delete;
    int suggestion = 0; // 0 when the name has no suggestion

    std::string fullName() const { return name + '.' + suffix; }
};

// "Delete" or "Pre-Release", as the list page shows it.
const char* DeletionTypeText(DeletionType type);
