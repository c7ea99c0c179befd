#pragma once

#include <QString>

#include <vector>

// An HTTP service on 127.0.0.1 that answers only when told to. Until then the kernel completes
// the handshakes and keeps the requests in its queues, and no thread of this process wakes for
// them, so the processor time spent while a client waits is the client's alone. Every answer
// is an empty page.
class LateAnswerServer {
public:
    LateAnswerServer();
    ~LateAnswerServer();
    LateAnswerServer(const LateAnswerServer&) = delete;
    LateAnswerServer& operator=(const LateAnswerServer&) = delete;

    // 0 when the port could not be opened.
    int port() const { return m_port; }
    // "http://127.0.0.1:PORT"
    QString base() const;

    // Takes the connections that are waiting; true when one of them has sent its request.
    bool requestArrived();
    // Answers every request taken or waiting, and closes their connections.
    void answerAll();

private:
    void takeWaiting();

    int m_port = 0; // before the listener, which sets it when it opens
    int m_listener = -1;
    std::vector<int> m_connections;
};
