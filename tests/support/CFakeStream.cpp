#include "support/CFakeStream.h"

IoResult CFakeStream::receive(char* into, std::size_t max) {
    if (!open_)
        return {0, IoStatus::Failed};
    IoResult r = script_->receive(into, max);
    if (r.status == IoStatus::Closed)
        open_ = false;
    return r;
}
