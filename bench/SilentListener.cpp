#include "SilentListener.h"

#include "LoopbackPort.h"

#include <unistd.h>

SilentListener::SilentListener() : m_socket(ListenOnLoopback(0, m_port)) {}

SilentListener::~SilentListener() {
    if (m_socket >= 0)
        ::close(m_socket);
}
