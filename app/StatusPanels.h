#pragma once

#include <array>

class QLabel;
class QProgressBar;
class QStatusBar;
class StatusLine;

// The status bar's panels: the status line, the maker's information, and the bar's own
// design-time panel behind them, which holds the progress bar while an operation runs, and
// beside it a second one while registry questions wait.
struct StatusPanels {
    std::array<QLabel*, 3> panels{};
    QProgressBar* progress = nullptr;
    QProgressBar* registryProgress = nullptr;

    QProgressBar* progressBar() const { return progress; }
};

// Adds the panels to the bar and keeps the first one showing the status line.
StatusPanels AddStatusPanels(QStatusBar* bar, StatusLine& status);
