#include "app/CIspHostTable.h"

CIspHostTable::CIspHostTable() {
    for (char letter : std::string("bdefghjlmorstvyz"))
        slots_[static_cast<unsigned char>(letter)] = letter + std::string("pop.vindnet.example");
    slots_['-'] = "pop.vindnet.example";
}

std::string CIspHostTable::hostFor(const std::string& account) const {
    if (account.size() < 2)
        return {};
    auto code = static_cast<unsigned char>(account[1]);
    return code < slots_.size() ? slots_[code] : std::string{};
}
