#pragma once

#include "support/TestServer.h"

#include <QString>

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

// A stand-in availability service that answers each name as the test says, or holds the answer
// until the test releases it. Names it was not told about get a 404 page.
class CheckServer {
public:
    struct Answer {
        int status = 200;
        std::string body;
        bool held = false;
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
    // Runs the action on the main thread, in the wait, when the question about the name has
    // arrived.
    void onQuestionAbout(const std::string& name, std::function<void()> action) {
        const std::string target = "/check/check_ac1.cgi?domain=" + name;
        m_server.onArrival([target, action = std::move(action)](const std::string& arrived) {
            if (arrived == target)
                action();
        });
    }
    // Lets the held answers go.
    void release() { m_server.release(); }

private:
    void serve(const httplib::Request& request, httplib::Response& response) {
        Answer answer{404, "<html>no such page</html>"};
        {
            std::lock_guard lock(m_mutex);
            const auto known = m_answers.find(request.get_param_value("domain"));
            if (request.path == "/check/check_ac1.cgi" && known != m_answers.end())
                answer = known->second;
        }
        if (answer.held && !m_server.holdUntilReleased())
            return;
        response.status = answer.status;
        response.set_content(answer.body, "text/plain; charset=utf-8");
    }

    std::mutex m_mutex;
    std::map<std::string, Answer> m_answers;
    TestServer m_server;
};
