#pragma once

#include "tests/peers/CTestPeer.h"

#include <string>

// A desktop session of the test's own for the keyring (keyring_session.sh): a private D-Bus
// session bus with gnome-keyring's Secret Service on it, unlocked, its files in the peer's
// folder; or, withKeyring false, a bus without any keyring. A program reaches it through
// DBUS_SESSION_BUS_ADDRESS = busAddress(), set before its first keyring call.
class CKeyringPeer : public CTestPeer {
public:
    // start() waits at most 20 s until the keyring (or the bare bus) is up.
    explicit CKeyringPeer(bool withKeyring = true);

    std::string busAddress() const { return "unix:path=" + dir() + "/bus"; }
    // The keyring's files: what the test looks through for a secret kept in clear.
    std::string keyringFolder() const { return dir() + "/data/keyrings"; }

private:
    bool pickPlace(std::string& error) override;
    bool launch(std::string& error) override;
    bool answers() const override;
    std::string waitedFor() const override;

    bool withKeyring_;
};
