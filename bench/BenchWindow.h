#pragma once

#include "app/MainWindow.h"

#include <memory>

// The program's window with addresses that lead nowhere, shown on the current platform
// (offscreen unless told otherwise) and laid out, as a user would first see it.
std::unique_ptr<MainWindow> MakeShownWindow();
