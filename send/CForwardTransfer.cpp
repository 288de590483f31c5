#include "send/CForwardTransfer.h"

#include "platform/CProgressThread.h"
#include "resources/CStringTable.h"
#include "send/CDataEnding.h"
#include "send/CSmtpChannel.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

namespace {

int clampToInt(long long value) {
    return static_cast<int>(std::min<long long>(value, INT_MAX));
}

} // namespace

CForwardTransfer::~CForwardTransfer() {
    if (length_ < 0)
        return;
    file_.close();
    CFile::remove(path_);
}

bool CForwardTransfer::open(const std::string& path) {
    const long long length = file_.openForRead(path) ? file_.size() : -1;
    if (length < 0) {
        channel_.setStatus(CStringTable::load(StringId::RetrievedUnreadable) + " " + path + ": " +
                           file_.errorText());
        return false;
    }
    path_ = path;
    length_ = length;
    return true;
}

bool CForwardTransfer::send(CDataEnding& ending) {
    return length_ <= kProgressThreshold ? sendWhole(ending) : sendInPieces(ending);
}

void CForwardTransfer::readFailed() {
    channel_.setStatus(CStringTable::load(StringId::RetrievedUnreadable) + " " + path_ + ": " +
                       (lastRead_ < 0 ? file_.errorText() : std::strerror(EIO)));
}

bool CForwardTransfer::sendData(std::string_view bytes, CDataEnding& ending) {
    if (bytes.empty())
        return true;
    if (!channel_.send(SmtpStep::Data, bytes))
        return false;
    ending.feed(bytes);
    return true;
}

bool CForwardTransfer::sendWhole(CDataEnding& ending) {
    std::string all(static_cast<std::size_t>(length_), '\0');
    for (long long done = 0; done < length_;) {
        lastRead_ = file_.read(all.data() + done, static_cast<std::size_t>(length_ - done));
        if (lastRead_ <= 0) {
            readFailed();
            return false;
        }
        done += lastRead_;
    }
    return sendData(all, ending);
}

bool CForwardTransfer::sendInPieces(CDataEnding& ending) {
    CProgressThread progress;
    progress.SetTotal(clampToInt(length_));
    progress.start(progress_);
    char piece[kPiece];
    for (long long done = 0; done < length_;) {
        const auto want = static_cast<std::size_t>(
            std::min<long long>(static_cast<long long>(sizeof piece), length_ - done));
        lastRead_ = file_.read(piece, want);
        if (lastRead_ <= 0) {
            readFailed();
            return false;
        }
        if (!sendData(std::string_view(piece, static_cast<std::size_t>(lastRead_)), ending))
            return false;
        if (!progress.IsProgressRunning()) {
            channel_.setStatus(StringId::ForwardCancelled);
            return false;
        }
        done += lastRead_;
        progress.SetProgress(clampToInt(done));
    }
    progress.SetProgress(clampToInt(length_));
    return true;
}
