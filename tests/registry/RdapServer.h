#pragma once

#include "support/TestServer.h"

#include <QString>

#include <chrono>

#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

// A stand-in RDAP server (and bootstrap home) on 127.0.0.1: each path answers as the test says,
// optionally held until released; other paths get a 404.
class RdapServer {
public:
    struct Answer {
        int status = 200;
        std::string body;
        std::vector<std::pair<std::string, std::string>> headers = {};
        bool held = false;
        std::string contentType = "application/rdap+json";
    };

    RdapServer()
        : m_server([this](TestServer& server, const httplib::Request& request,
                          httplib::Response& response) { serve(server, request, response); }) {}

    void answer(const std::string& path, Answer answer) {
        std::lock_guard lock(m_mutex);
        m_answers[path] = std::move(answer);
    }
    // "http://127.0.0.1:PORT/"
    QString base() const { return m_server.baseUrl() + u'/'; }
    TestServer& server() { return m_server; }
    std::vector<std::string> targets() const { return m_server.targets(); }
    // When the request for a path arrived, on the steady clock; the epoch if it never did.
    std::chrono::steady_clock::time_point arrivalOf(const std::string& path) const {
        std::lock_guard lock(m_mutex);
        const auto found = m_arrivals.find(path);
        return found == m_arrivals.end() ? std::chrono::steady_clock::time_point{} : found->second;
    }
    std::string lastAccept() const {
        std::lock_guard lock(m_mutex);
        return m_lastAccept;
    }

private:
    void serve(TestServer& server, const httplib::Request& request, httplib::Response& response) {
        Answer answer{404, "{\"errorCode\":404}"};
        {
            std::lock_guard lock(m_mutex);
            m_lastAccept = request.get_header_value("Accept");
            m_arrivals.emplace(request.path, std::chrono::steady_clock::now());
            const auto known = m_answers.find(request.path);
            if (known != m_answers.end())
                answer = known->second;
        }
        if (answer.held && !server.holdUntilReleased())
            return;
        response.status = answer.status;
        for (const auto& [name, value] : answer.headers)
            response.set_header(name, value);
        if (!answer.body.empty())
            response.set_content(answer.body, answer.contentType);
    }

    mutable std::mutex m_mutex;
    std::map<std::string, Answer> m_answers;
    std::string m_lastAccept;
    std::map<std::string, std::chrono::steady_clock::time_point> m_arrivals;
    TestServer m_server; // last: it stops before the answers go
};
