#pragma once

#include "results/ResultListModel.h"
#include "results/StatusLine.h"
#include "results/Workspace.h"
#include "support/QStringPrinter.h"
#include "web/Closing.h"

#include <algorithm>
#include <vector>

// What a search or check works on without a window, with every status text kept in order.
struct HostileWorkspace {
    HostileWorkspace() {
        QObject::connect(&status, &StatusLine::textChanged, &status,
                         [this](const QString& text) { history.push_back(text); });
    }

    bool wrote(const QString& text) const {
        return std::find(history.begin(), history.end(), text) != history.end();
    }
    std::vector<QString> domains() const {
        std::vector<QString> cells;
        for (int row = 0; row < rows.count(); ++row)
            cells.push_back(rows.cell(row, ResultListModel::Domain));
        return cells;
    }

    std::vector<QString> history;
    ResultListModel rows;
    StatusLine status;
    Closing closing;
    Workspace workspace{rows, status, closing};
};
