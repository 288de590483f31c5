#pragma once

// Every network wait has a limit; expiry fails that step.
struct SocketTimeouts {
    int connectMs = 15000;
    int receiveMs = 60000; // also bounds a send that cannot proceed
    int datagramMs = 5000; // a DNS answer
};
