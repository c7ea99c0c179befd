#pragma once

#include "results/ResultListModel.h"
#include "results/StatusLine.h"
#include "results/Workspace.h"
#include "support/TestServer.h"
#include "web/Closing.h"

#include <QString>

#include "support/QStringPrinter.h"

#include <chrono>
#include <map>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

// A stand-in availability service that answers each name as the test says, optionally after a
// stall. Names it was not told about get a 404 page.
class CheckServer {
public:
    struct Answer {
        int status = 200;
        std::string body;
        std::chrono::milliseconds delay{0};
    };

    CheckServer()
        : m_server([this](const httplib::Request& request, httplib::Response& response) {
              serve(request, response);
          }) {}

    void answer(const std::string& name, Answer answer) {
        std::lock_guard lock(m_mutex);
        m_answers[name] = std::move(answer);
    }
    QString base() const { return m_server.baseUrl(); }
    std::vector<std::string> targets() const { return m_server.targets(); }

private:
    void serve(const httplib::Request& request, httplib::Response& response) {
        Answer answer{404, "<html>no such page</html>"};
        {
            std::lock_guard lock(m_mutex);
            const auto known = m_answers.find(request.get_param_value("domain"));
            if (request.path == "/check/check_ac1.cgi" && known != m_answers.end())
                answer = known->second;
        }
        if (answer.delay.count() > 0 && !m_server.sleepUnlessStopping(answer.delay))
            return;
        response.status = answer.status;
        response.set_content(answer.body, "text/plain; charset=utf-8");
    }

    std::mutex m_mutex;
    std::map<std::string, Answer> m_answers;
    TestServer m_server;
};

// The result list, status line and closing signal an operation works on, with every status
// text kept in the order it was written.
struct CheckWorkspace {
    CheckWorkspace() {
        QObject::connect(&status, &StatusLine::textChanged,
                         [this](const QString& text) { history.push_back(text); });
    }

    void addRow(const QString& name, const QString& verdict = {}, bool subdued = false) {
        ResultRow row;
        row.cells[ResultListModel::Number] = QString::number(rows.count() + 1);
        row.cells[ResultListModel::Domain] = name;
        row.cells[ResultListModel::DeletionTime] = QStringLiteral("2026-12-09 10:00:00");
        row.cells[ResultListModel::DeletionType] = QStringLiteral("Delete");
        row.cells[ResultListModel::Suggestion] = QStringLiteral("3");
        row.cells[ResultListModel::Verdict] = verdict;
        rows.appendRow(std::move(row));
        if (subdued)
            rows.setSubdued(rows.count() - 1);
    }

    QString verdict(int row) const { return rows.cell(row, ResultListModel::Verdict); }

    ResultListModel rows;
    StatusLine status;
    Closing closing;
    Workspace workspace{rows, status, closing};
    std::vector<QString> history;
};
