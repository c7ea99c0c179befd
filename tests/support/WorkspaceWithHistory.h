#pragma once

#include "results/ResultListModel.h"
#include "results/StatusLine.h"
#include "results/Workspace.h"
#include "support/QStringPrinter.h"
#include "support/Rows.h"
#include "web/Closing.h"

#include <QDateTime>
#include <QTimeZone>

#include <algorithm>
#include <vector>

// What a search or a check works on without a window: the result list, the status line and the
// closing signal, with every status text kept in the order it was written and a fixed clock for
// the verdicts' evidence.
struct WorkspaceWithHistory {
    // The time the injected clock always gives.
    inline static const QDateTime kNow =
        QDateTime(QDate(2026, 12, 9), QTime(10, 30, 15), QTimeZone::utc());

    WorkspaceWithHistory() {
        QObject::connect(&status, &StatusLine::textChanged, &status,
                         [this](const QString& text) { history.push_back(text); });
        workspace.now = [] { return kNow; };
    }

    void addRow(const QString& domain, Rows::Verdict verdict = Rows::Verdict::None,
                bool subdued = false) {
        Rows::append(rows, domain, verdict, subdued);
    }
    QString verdict(int row) const { return rows.cell(row, ResultListModel::Verdict); }
    std::vector<QString> domains() const { return Rows::column(rows, ResultListModel::Domain); }
    bool wrote(const QString& text) const {
        return std::find(history.begin(), history.end(), text) != history.end();
    }

    std::vector<QString> history;
    ResultListModel rows;
    StatusLine status;
    Closing closing;
    Workspace workspace{rows, status, closing};
};
