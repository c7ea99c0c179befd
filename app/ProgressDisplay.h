#pragma once

#include "results/Workspace.h"

#include <QProgressBar>

#include <algorithm>

// Shows how far a long operation has come in the status bar's third panel, for as long as the
// object lives, and gives the operation a fresh stop request.
class ProgressDisplay {
public:
    ProgressDisplay(QProgressBar* bar, Workspace& workspace) : m_bar(bar), m_workspace(workspace) {
        m_workspace.stopRequested = false;
        // 0 of 1 until the operation knows its total: a busy bar (0 of 0) would animate, and
        // repaint, all through the wait.
        m_bar->setRange(0, 1);
        m_bar->setValue(0);
        m_bar->show();
        m_workspace.progress = [bar](int done, int total) {
            bar->setRange(0, std::max(total, 1));
            bar->setValue(std::clamp(done, 0, std::max(total, 1)));
        };
    }
    ~ProgressDisplay() {
        m_workspace.progress = {};
        m_workspace.stopRequested = false;
        m_bar->hide();
    }
    ProgressDisplay(const ProgressDisplay&) = delete;
    ProgressDisplay& operator=(const ProgressDisplay&) = delete;

private:
    QProgressBar* m_bar;
    Workspace& m_workspace;
};
