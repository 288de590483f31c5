#pragma once

#include <array>
#include <string>

// The built-in POP3 hosts of one provider, chosen by the second character of the account name
// while "Tele2" is checked.
class CIspHostTable {
public:
    CIspHostTable();
    // The host for an account, or empty when its second character has no slot or is not 7-bit:
    // the typed server is then kept.
    std::string hostFor(const std::string& account) const;

private:
    std::array<std::string, 128> slots_;
};
