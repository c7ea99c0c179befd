#pragma once

#include <QByteArrayView>

#include <string>

// A domain name read from a list (UTF-8): blanks around it and one final dot dropped, in lower
// case, at least two labels, each 1 to 63 letters, digits or hyphens (hyphens neither first
// nor last) once internationalised labels are in their ASCII form, 253 bytes at most. Writes
// the name (internationalised labels as they were written, in lower case) into "name" and
// tells whether the text was such a name.
bool NormaliseListedName(QByteArrayView text, std::string& name);
