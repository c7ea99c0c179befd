#pragma once

#include "app/Form1.h"

#include <memory>

// The program's window with addresses that lead nowhere, shown on the current platform
// (offscreen unless told otherwise) and laid out, as a user would first see it.
std::unique_ptr<Form1> MakeShownWindow();
