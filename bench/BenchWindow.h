#pragma once

#include "app/AppConfig.h"
#include "app/MainWindow.h"

#include <memory>

// The program's window with addresses that lead nowhere, shown on the current platform
// (offscreen unless told otherwise) and laid out, as a user would first see it.
std::unique_ptr<MainWindow> MakeShownWindow();

// The same with the benchmark's own services and watch list.
std::unique_ptr<MainWindow> MakeShownWindow(AppConfig config);
