#include "resources/CStringTable.h"

// Placeholder: the full table is being written.
std::string CStringTable::load(int id) {
    switch (id) {
    case 143: return "Kan inte ansluta.";
    case 144: return "Ett fel uppstod vid anslutning till server.";
    case 147: return "QUIT:";
    case 148: return "DELE:";
    case 149: return "RSET:";
    case 150: return "STAT:";
    case 151: return "NOOP:";
    case 152: return "LIST:";
    case 153: return "RETR:";
    case 154: return "TOP:";
    case 545: return "USER:";
    case 546: return "PASS:";
    }
    return {};
}
