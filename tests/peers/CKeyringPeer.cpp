#include "tests/peers/CKeyringPeer.h"

#include <chrono>

using namespace std::chrono_literals;

CKeyringPeer::CKeyringPeer(bool withKeyring)
    : CTestPeer(
          {"the keyring session", "keyring", "/tmp/maroket-bus-XXXXXX", "keyring.log", 20s, true}),
      withKeyring_(withKeyring) {}

bool CKeyringPeer::pickPlace(std::string&) {
    return true; // a socket in the folder
}

bool CKeyringPeer::launch(std::string& error) {
    return startProcess(
        {"/bin/sh", "sh"},
        {"sh", MAROKET_PEERS_DIR "/keyring_session.sh", dir(), withKeyring_ ? "keyring" : "none"},
        error);
}

bool CKeyringPeer::answers() const {
    return log().find("ready") != std::string::npos;
}

std::string CKeyringPeer::waitedFor() const {
    return withKeyring_ ? "offer the keyring on its bus" : "offer its bus";
}
