#pragma once

#include "platform/CFile.h"
#include "platform/CProgressThread.h"
#include "platform/CTempFile.h"
#include "pop3/CPop3Session.h"

#include <optional>
#include <string>

class IMessageBoxHost;
class IProgressHost;

// A message downloaded whole (RETR) into a private file of its own, for an operation that uses
// it (a reply, a forward). A message listed above kProgressThreshold bytes downloads with a
// progress window, whose Avbryt stops it; a file that cannot be made or written is reported in a
// message box. A download stopped either way keeps nothing of the message and drops the
// connection, since the rest of the message would be taken for the next reply.
class CMessageDownload : private CPop3Session::MessageSink {
public:
    static constexpr int kProgressThreshold = 32768;

    // All must outlive the download; null hosts show no window and no box.
    CMessageDownload(CPop3Session& session, IProgressHost* progress, IMessageBoxHost* boxes)
        : session_(session), progressHost_(progress), boxes_(boxes) {}

    // False with the reason in the session's error text.
    bool run(int message);
    // The file the last successful run wrote, empty when there is none. Whoever uses the
    // message takes the file, and with it the duty to remove it; a file nobody took goes with
    // the next run or with the object.
    const std::string& file() const { return file_.path(); }
    CTempFile takeFile() { return std::move(file_); }
    // "Avbryt" stopped the last run between two receives, while the server was still sending.
    bool stoppedByUser() const { return stoppedByUser_; }

private:
    bool begin() override;
    bool take(std::string_view bytes, bool complete) override;

    CPop3Session& session_;
    IProgressHost* progressHost_;
    IMessageBoxHost* boxes_;
    CTempFile file_;
    bool stoppedByUser_ = false;
    // The run in progress.
    CTempFile temp_;
    CFile out_;
    std::optional<CProgressThread> progress_; // while a large message downloads
    long long size_ = 0; // as listed; 0 when unknown, and then without a window
    long long received_ = 0;
    bool cancelled_ = false;
    std::string failure_;
};
