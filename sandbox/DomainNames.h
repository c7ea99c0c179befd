#pragma once

#include <optional>
#include <string>
#include <string_view>

// A domain name as the services accept it: blanks around it and one final dot dropped, ASCII
// letters in lower case, at least two labels, each of 1 to 63 bytes made of letters, digits,
// hyphens (not first or last) or non-ASCII bytes, 253 bytes at most. Nothing when the text
// is not such a name.
std::optional<std::string> NormaliseDomainName(std::string_view text);

// A label of letters, digits and hyphens, hyphens neither first nor last.
bool IsPlainLabel(std::string_view label);
