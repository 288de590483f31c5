#pragma once

#include "platform/CFile.h"

#include <cstddef>
#include <string>

class CDataEnding;
class CSmtpChannel;
class IProgressHost;

// A retrieved message sent on as the data of an SMTP transaction, byte for byte: in one piece up
// to kProgressThreshold bytes, above that in pieces with a progress window whose Avbryt stops it.
// The file is the transfer's from the moment it opens: it is removed when the transfer goes,
// whatever became of the data.
class CForwardTransfer {
public:
    static constexpr long long kProgressThreshold = 32768;
    static constexpr std::size_t kPiece = 1024;

    // Both must outlive the transfer; a null host shows no window.
    CForwardTransfer(CSmtpChannel& channel, IProgressHost* progress)
        : channel_(channel), progress_(progress) {}
    ~CForwardTransfer();
    CForwardTransfer(const CForwardTransfer&) = delete;
    CForwardTransfer& operator=(const CForwardTransfer&) = delete;

    // False, with the reason in the channel's status text, when the file cannot be read; the
    // file is then left where it is.
    bool open(const std::string& path);
    // Sends the whole file, ending fed with every byte; false, with the reason in the channel's
    // status text, when reading it, the connection or the user stopped it.
    bool send(CDataEnding& ending);

private:
    bool sendWhole(CDataEnding& ending);
    bool sendInPieces(CDataEnding& ending);
    bool sendData(std::string_view bytes, CDataEnding& ending);
    void readFailed();

    CSmtpChannel& channel_;
    IProgressHost* progress_;
    CFile file_;
    std::string path_;
    long long length_ = -1;
    long long lastRead_ = 0; // what the last read gave, for the reason of a failed one
};
