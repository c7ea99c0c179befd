#pragma once

// A port on 127.0.0.1 that takes connections and never answers: the kernel completes the
// handshake and keeps the request in its queue, and no thread here wakes for it, so the only
// processor time spent while a client waits is the client's.
class SilentListener {
public:
    SilentListener();
    ~SilentListener();
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;

    // 0 when the port could not be opened.
    int port() const { return m_port; }

private:
    int m_port = 0; // before the socket, which sets it when it opens
    int m_socket = -1;
};
