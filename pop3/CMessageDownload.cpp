#include "pop3/CMessageDownload.h"

#include "platform/IMessageBoxHost.h"

#include <algorithm>

bool CMessageDownload::run(int message) {
    // Only a message this run downloads is ever handed on.
    file_ = CTempFile{};
    stoppedByUser_ = false;
    cancelled_ = false;
    failure_.clear();
    received_ = 0;
    // Without a listed size (quick login, or a number beyond the listing) there is no total to
    // show, so the download runs without a window.
    size_ = message >= 1 && message <= session_.messageTable().sizeCount()
                ? static_cast<long long>(session_.getMessageSize(message))
                : 0;
    const bool ok = session_.retr(message, *this);
    if (ok && progress_)
        progress_->SetProgress(static_cast<int>(size_));
    progress_.reset(); // the window closes with the download
    out_.close();
    if (ok) {
        file_ = std::move(temp_);
        return true;
    }
    temp_.remove();
    if (!failure_.empty()) {
        const std::string text = "Error: " + failure_;
        if (boxes_)
            boxes_->showMessage(text);
        session_.setErrorText(text);
    } else if (cancelled_) {
        session_.fail(ReplyKind::Retr, StringId::CancelledByUser);
        stoppedByUser_ = true;
    } else {
        return false; // the session's own failure
    }
    // The rest of the message is still on its way; the connection cannot be used again.
    session_.dropConnection();
    return false;
}

bool CMessageDownload::begin() {
    std::string error;
    if (!temp_.create(out_, error)) {
        failure_ = error;
        return false;
    }
    if (size_ > kProgressThreshold) {
        progress_.emplace();
        progress_->SetTotal(static_cast<int>(size_));
        progress_->start(progressHost_);
    }
    return true;
}

bool CMessageDownload::take(std::string_view bytes, bool complete) {
    if (!out_.write(bytes)) {
        failure_ = temp_.path() + ": " + out_.errorText();
        return false;
    }
    if (!progress_)
        return true;
    if (!progress_->IsProgressRunning()) {
        cancelled_ = true;
        return false;
    }
    // Below the total until the end is seen, so the window cannot close by itself and read as
    // a cancel.
    received_ += static_cast<long long>(bytes.size());
    progress_->SetProgress(static_cast<int>(std::min(received_, complete ? size_ : size_ - 1)));
    return true;
}
