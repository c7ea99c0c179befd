#pragma once

// Opens a listening TCP socket on 127.0.0.1 at a port the kernel chooses. Returns the socket,
// or -1; port is set to the port, 0 when none could be opened. flags are added to socket().
int ListenOnLoopback(int flags, int& port);
