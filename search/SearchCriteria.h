#pragma once

#include <QString>

#include <array>

// The criteria panel as the query builder reads it, taken from the controls when a search
// starts. Indices follow the control arrays.
struct SearchCriteria {
    QString keyword;                    // Text1
    int positionIndex = -1;             // selected Option1 button, -1 when none
    QString lengthFrom;                 // Text2(0)
    QString lengthTo;                   // Text2(1)
    std::array<bool, 3> characters{};   // Check1: letters, digits, hyphen
    std::array<bool, 6> structures{};   // Check2: pinyin, AABB, CVCV, y vowel, initials, suggestion
    QString pinyinChoice;               // Combo1's shown text
    int sortIndex = -1;                 // selected Option2 button, -1 when none
    std::array<bool, 4> suffixes{};     // Check3: com, net, org, cn
    QString deletionTypeChoice;         // Combo2's shown text
    QString deletionDateChoice;         // Combo3's shown text
};
