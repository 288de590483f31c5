#pragma once

// Readies the process for sockets once at start: a write to a closed connection must fail the
// call, not end the program, and a socket must be obtainable.
class CSocketLayer {
public:
    static bool start();
};
