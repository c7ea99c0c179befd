#pragma once

#include "criteria/NameCriteria.h"

#include <optional>
#include <string>
#include <string_view>

// How the typed values of the criteria read, the same wherever they arrive from: a query's
// keys or the window's controls.

// A decimal whole number with optional blanks around it; nothing else.
std::optional<int> ParseWholeNumber(std::string_view text);

// Lower case without surrounding blanks.
std::string NormaliseKeyword(std::string_view text);

// A bound that is no number is no bound; bounds the wrong way round still mean the range
// between them.
void SetLengthBounds(NameCriteria& criteria, std::string_view from, std::string_view to);

// Lower case, without blanks and one leading dot; empty or repeated suffixes are dropped.
void AddSuffix(NameCriteria& criteria, std::string_view suffix);

// "0": today and later, "1": before today, a valid yyyy-MM-dd: that day; anything else: every
// day.
void SetDeletionDate(NameCriteria& criteria, std::string_view text);
