#include "app/CMailboxCycle.h"

#include "app/CSizeText.h"
#include "app/IMailboxWindow.h"
#include "platform/CProgressThread.h"
#include "platform/CWaitHook.h"
#include "platform/IAccessTokens.h"
#include "pop3/CMessagePreview.h"
#include "pop3/CPop3Session.h"
#include "resources/CStringTable.h"
#include "resources/StringIds.h"

#include <algorithm>
#include <new>
#include <optional>

namespace {

std::string load(StringId id) {
    return CStringTable::load(id);
}

// "<label> 3 av 12<end>"
std::string countText(StringId labelId, int i, int total, const char* end) {
    return load(labelId) + " " + std::to_string(i) + " " + load(StringId::Of) + " " +
           std::to_string(total) + end;
}

// The user's Avbryt as it stands right before a command is written. A due turn of the wait hook
// is taken first, so that the write's own turn (not due again so soon) takes no click that this
// look has not seen; a turn that is not due would cost a repaint per command.
bool stoppedBeforeWrite(const CProgressThread& progress) {
    CWaitHook::runIfDue();
    return !progress.IsProgressRunning();
}

} // namespace

CMailboxCycle::CMailboxCycle(CPop3Session& pop3, IMailboxWindow& window)
    : pop3_(pop3), window_(window) {}

template <class Command> void CMailboxCycle::guarded(Command command) {
    // Only the outermost command ends: one it runs (a reconnect after a delete) must not go on
    // as if the one inside it had ended normally.
    if (guarding_) {
        command();
        return;
    }
    guarding_ = true;
    try {
        command();
    } catch (const std::bad_alloc&) {
        guarding_ = false;
        outOfMemory();
    }
    guarding_ = false;
}

void CMailboxCycle::outOfMemory() {
    // The rows go first, for the memory they hold. What the server was sending could not be
    // told from its next reply, and without QUIT it deletes nothing.
    window_.clearRows();
    pop3_.dropConnection();
    connected_ = false;
    skipHeaders_ = false;
    window_.showConnected(false);
    window_.stopWindowTimer(TimerId::KeepAlive);
    window_.setStatus(load(StringId::OutOfMemory));
    window_.writeControls();
}

void CMailboxCycle::connectOrDisconnect() {
    guarded([&] {
        if (connected_)
            disconnect();
        else
            connectSequence();
    });
}

void CMailboxCycle::connectSequence() {
    window_.showConnected(true);
    lastLogin_ = window_.takeLoginFields();
    connectWith();
}

void CMailboxCycle::connectWith() {
    const IMailboxWindow::LoginFields& login = lastLogin_;
    // Nothing to connect to: say what is missing rather than fail on an empty name.
    if (login.server.empty()) {
        window_.showConnected(false);
        window_.setStatus(load(StringId::EnterMailServer));
        window_.focusLoginField();
        return;
    }
    window_.setStatus(load(StringId::ConnectingTo) + " " + login.server + "...");

    pop3_.cache().beginConnect(login.account == lastUser_);
    lastUser_ = login.account;
    pop3_.setHost(login.server);
    pop3_.setUser(login.account);
    // The session's copy goes with the login; this one stays for the reconnects.
    pop3_.setPassword(login.password.copy());
    // An account without a password at a provider's server signs in with a token, reconnects
    // too.
    IAccessTokens* tokens = window_.accessTokensFor(login.server, login.password);
    pop3_.setAccessTokens(tokens);
    tokenNote_ = tokens ? tokens->note() : std::string{};
    if (!pop3_.login()) {
        loginFailed();
        return;
    }
    // A retry still pending from busy replies would only disconnect the new connection.
    window_.stopWindowTimer(TimerId::BusyRetry);
    window_.setStatus(load(StringId::FetchingInfo));
    busyRetryCount_ = 0;
    loadMailbox();
}

void CMailboxCycle::loadMailbox() {
    // Only counts and sizes this server gave in this connection are ever shown: a refused STAT
    // or LIST ends the load with the server's reason.
    if (!pop3_.stat()) {
        connectionLost();
        return;
    }
    const int count = pop3_.getMessageCount();
    const std::string finalText = load(StringId::DoneAccountHas) + " " + std::to_string(count) +
                                  " " +
                                  CStringTable::loadCounted(StringId::MessagesTotalling, count) +
                                  " " + CSizeText::formatSize(pop3_.getMailboxOctets()) + "." +
                                  (tokenNote_.empty() ? "" : " " + tokenNote_);
    auto uidl = CPop3Session::UidlAnswer::Refused;
    int requested = 0; // header requests already on their way
    if (count < window_.quickLogin()) {
        // The unique ids tie each cached row to its message, whatever another client deleted
        // or delivered since the rows were read; a server without them gets rows by number.
        // What the load learns counts only once the load is proven in step.
        if (count > 0)
            pop3_.beginRun();
        // Where no cached row can serve, every header is needed: the first requests go out
        // with UIDL and LIST instead of a round trip after them.
        const int early = pop3_.cache().mayHoldRows() ? 0 : count;
        if (count > 0 ? !pop3_.uidlAndList(uidl, early, requested) : !pop3_.list()) {
            connectionLost();
            return;
        }
        fullLoad_ = true;
    } else {
        // A quick load reads no headers, but its rows too are only those LIST bears out: a
        // count the server merely claims would cost a row, and time, for messages it does not
        // have.
        if (!pop3_.list()) {
            connectionLost();
            return;
        }
        fullLoad_ = false;
        skipHeaders_ = true;
    }
    connected_ = true;
    // Every load lines the cached rows up with what the server holds now, a quick one too.
    CMailboxCache& cache = pop3_.cache();
    std::vector<int> toFetch;
    if (fullLoad_)
        toFetch = cache.prepareLoad(std::max(count, 0), uidl);
    else
        cache.prepareQuickLoad(std::max(count, 0));

    if (count <= 0) {
        window_.setStatus(finalText);
        skipHeaders_ = false;
        window_.startWindowTimer(TimerId::KeepAlive, periods_.keepAliveMs);
        window_.writeControls();
        return;
    }
    // The requests sent ahead asked for the first messages, which are the first to fetch.
    if (requested > static_cast<int>(toFetch.size()) ||
        (requested > 0 && toFetch[static_cast<std::size_t>(requested - 1)] != requested)) {
        pop3_.fail(CPop3Session::ReplyKind::Top, StringId::OutOfStep);
        pop3_.dropConnection();
        connectionLost();
        return;
    }
    const int shown = skipHeaders_ ? loadRows(count, {}, 0)
                                   : loadRows(count, toFetch, static_cast<std::size_t>(requested));
    if (!connected_)
        return;
    if (!pop3_.endRun()) {
        connectionLost();
        return;
    }
    finishLoad(shown == count ? finalText
                              : load(StringId::CancelledByUser) + " " +
                                    countText(StringId::ListShowsFirst, shown, count, " ") +
                                    load(StringId::MessagesEnd));
}

int CMailboxCycle::loadRows(int count, const std::vector<int>& toFetch, std::size_t requested) {
    const CMailboxCache& cache = pop3_.cache();
    const MessageTable& table = cache.table();
    // A window where headers come from the server: its Avbryt stops the requests, and the rest
    // of the rows show number and size. A window where the rows alone take a while: its Avbryt
    // ends the list where it is.
    std::optional<CProgressThread> progress;
    bool fetching = !toFetch.empty();
    auto openWindow = [&](int at) {
        progress.emplace();
        progress->SetTotal(count);
        progress->start(progressHost_);
        progress->SetProgress(at);
    };
    if (fetching || count >= kQuietRowsMax)
        openWindow(0);
    // The requests for the next headers go out while an earlier answer is still on its way,
    // where the server allows it; none goes out once the user has stopped the load.
    auto stopped = [&] { return fetching && stoppedBeforeWrite(*progress); };
    // Avbryt of the requests after row done: the answers already on their way are read and left
    // unused. A long rest of the list gets a window of its own.
    auto stopFetching = [&](int done) {
        skipHeaders_ = true;
        fetching = false;
        progress.reset();
        if (!pop3_.finishOutstanding()) {
            connectionLost();
            return false;
        }
        window_.writeControls();
        if (count - done >= kQuietRowsMax)
            openWindow(done);
        return true;
    };
    for (int i = 1; i <= count; ++i) {
        // Never a size that LIST did not deliver.
        const std::string size =
            fullLoad_ && i <= table.sizeCount() ? CSizeText::formatSize(table.sizeOf(i)) : "";
        const std::string number = std::to_string(i) + ".";
        bool fromServer = !skipHeaders_ && !cache.reusable(i);
        if (fromServer) {
            window_.setStatus(countText(StringId::FetchingMessageInfo, i, count, "."));
            while (requested < toFetch.size() && pop3_.canSendAhead() && !stopped() &&
                   pop3_.sendAhead(CPop3Session::ReplyKind::Top, toFetch[requested]))
                ++requested;
            if (requested == toFetch.size())
                pop3_.sendRunCheck();
            // Stopped before this message's request went out: it is one of the rest.
            if (pop3_.outstanding() == 0 && pop3_.isConnected() && stopped()) {
                if (!stopFetching(i - 1))
                    return 0;
                fromServer = false;
            }
        }
        if (!fromServer) {
            // A row that costs no server command: the window paints, and takes Avbryt, however
            // many of them follow; the status line says where the list is as often as it paints.
            if (CWaitHook::msUntilDue() == 0)
                window_.setStatus(countText(StringId::FetchingMessageInfo, i, count, "."));
            CWaitHook::runIfDue();
            if (progress && !progress->IsProgressRunning()) {
                if (!fetching)
                    return i - 1;
                if (!stopFetching(i - 1))
                    return 0;
            }
            if (skipHeaders_)
                window_.appendRow(fullLoad_ ? number + "  " + size : number, {}, {}, {});
            else
                window_.appendRow(number + " " + table.senderOf(i), table.subjectOf(i),
                                  table.dateOf(i), size);
            if (progress && !fetching)
                progress->SetProgress(i);
            continue;
        }
        // A lost connection takes back every row this load read: none was proven in step.
        if (!pop3_.readAnswer()) {
            connectionLost();
            return 0;
        }
        window_.appendRow(number + " " + pop3_.getFrom(), pop3_.getSubject(), pop3_.getDate(),
                          size);
        if (!progress->IsProgressRunning() && !stopFetching(i))
            return 0;
        if (fetching)
            progress->SetProgress(i);
    }
    return count;
}

void CMailboxCycle::finishLoad(const std::string& finalText) {
    window_.setStatus(finalText);
    skipHeaders_ = false;
    pop3_.cache().loadFinished();
    window_.startWindowTimer(TimerId::KeepAlive, periods_.keepAliveMs);
    window_.writeControls();
}

void CMailboxCycle::loginFailed() {
    window_.showConnected(false);
    // The user stopped the connect, the greeting or the login: no reason of the server's, and
    // no retry of a busy account either.
    if (pop3_.waitWasCut()) {
        stopBusyRetry();
        window_.setStatus(load(StringId::CancelledByUser));
        return;
    }
    const std::string error = pop3_.getErrorText();
    if (error.find("try again") == std::string::npos && error.find("busy") == std::string::npos) {
        window_.setStatus(error);
        return;
    }
    const int n = ++busyRetryCount_;
    if (n >= BusyRetries::giveUpAt) {
        window_.setStatus(load(StringId::BusyGaveUp));
        busyRetryCount_ = 0;
        window_.stopWindowTimer(TimerId::BusyRetry);
        return;
    }
    window_.setStatus(load(n == 1 ? StringId::AccountBusy : StringId::AccountStillBusy));
    window_.startWindowTimer(TimerId::BusyRetry, n == 1 ? periods_.firstRetryMs
                                                 : n <= BusyRetries::shortRetriesUpTo
                                                     ? periods_.retryMs
                                                     : periods_.longRetryMs);
}

void CMailboxCycle::connectionLost() {
    guarded([&] {
        const std::string reason = pop3_.getErrorText();
        if (pop3_.isConnected() && !pop3_.quit())
            pop3_.dropConnection();
        connected_ = false;
        skipHeaders_ = false;
        window_.showConnected(false);
        window_.clearRows();
        window_.stopWindowTimer(TimerId::KeepAlive);
        window_.setStatus(reason);
        window_.writeControls();
    });
}

void CMailboxCycle::disconnect() {
    guarded([&] {
        if (!connected_)
            return;
        window_.setStatus(load(StringId::Disconnecting));
        // A refused QUIT would leave a connection nobody uses any more.
        if (!pop3_.quit())
            pop3_.dropConnection();
        connected_ = false;
        window_.showConnected(false);
        window_.clearRows();
        window_.setStatus(load(StringId::Disconnected));
        window_.focusLoginField();
        window_.stopWindowTimer(TimerId::KeepAlive);
    });
}

void CMailboxCycle::onKeepAliveTick() {
    guarded([&] {
        // Any answer but NOOP's since the last tick starts the idle time anew.
        if (pop3_.activity() != activitySeen_) {
            activitySeen_ = pop3_.activity();
            idleTicks_ = 0;
        }
        if (++idleTicks_ == 2 * window_.idleTimeout()) {
            idleTicks_ = 0;
            disconnect();
        } else if (!pop3_.noop() && !pop3_.isConnected()) {
            connectionLost();
        }
    });
}

void CMailboxCycle::onBusyRetryTick() {
    guarded([&] {
        window_.stopWindowTimer(TimerId::BusyRetry);
        connectOrDisconnect();
    });
}

void CMailboxCycle::reloadAfterCancel(const std::string& cancelled) {
    guarded([&] {
        // QUIT commits what the server was told before the stop; nothing else was sent.
        disconnect();
        window_.showConnected(true);
        connectWith();
        // The load's own final text would hide why the list was loaded anew.
        if (connected_)
            window_.setStatus(cancelled + " " + load(StringId::ListReloaded));
    });
}

bool CMailboxCycle::stopBusyRetry() {
    if (busyRetryCount_ == 0)
        return false;
    window_.stopWindowTimer(TimerId::BusyRetry);
    busyRetryCount_ = 0;
    return true;
}

void CMailboxCycle::deleteRows(const std::vector<int>& rows) {
    guarded([&] {
        const int selected = static_cast<int>(rows.size());
        if (selected == 0) {
            window_.setStatus(load(StringId::SelectToDelete));
            return;
        }
        if (!window_.askYesNo(load(StringId::ReallyDelete) + " " + std::to_string(selected) + " " +
                              CStringTable::loadCounted(StringId::MessagesQuestion, selected)))
            return;
        CProgressThread progress;
        const bool withWindow = selected >= kDeleteProgressFrom;
        if (withWindow) {
            progress.SetTotal(selected);
            progress.start(progressHost_);
        }
        // The window follows the server's answers, not the writes: what it shows is what the
        // server has deleted, and what QUIT then commits.
        bool stopped = false;
        auto seeStop = [&] {
            if (withWindow && !stopped) {
                progress.SetProgress(static_cast<int>(pop3_.cache().pendingDeletions()));
                stopped = stoppedBeforeWrite(progress);
            }
            return stopped;
        };
        auto readOne = [&] {
            pop3_.readAnswer();
            seeStop();
        };
        pop3_.beginRun();
        for (int k = 1; k <= selected; ++k) {
            window_.setStatus(countText(StringId::Deleting, k, selected, "..."));
            // Room for one more DELE: earlier answers are read first where the window is full.
            while (!pop3_.canSendAhead() && pop3_.isConnected() && !stopped)
                readOne();
            // The user's stop is looked at after those answers, right before the write.
            if (seeStop())
                break;
            // Numbers hold until QUIT: the server renumbers only then.
            if (!pop3_.isConnected() || !pop3_.sendAhead(CPop3Session::ReplyKind::Dele,
                                                         rows[static_cast<std::size_t>(k - 1)] + 1))
                break; // nothing more reaches the server, and it deletes nothing without QUIT
        }
        if (!stopped)
            pop3_.sendRunCheck(); // the proof goes with the last DELEs
        while (pop3_.outstanding() > 0 && pop3_.isConnected() && !stopped)
            readOne();
        // After a stop nothing more is written; the DELEs already on their way are answered,
        // and the window's count follows them to the end, so that it says what QUIT commits.
        if (stopped && pop3_.finishOutstanding())
            progress.SetProgress(static_cast<int>(pop3_.cache().pendingDeletions()));
        // A DELE counts as the server answers it, whether the walk ended or was stopped, and
        // only once the run is proven in step. Otherwise the connection went without QUIT and
        // the server deleted nothing; a reconnect would only meet the same server, so the reason
        // stays. So too when Avbryt ended a wait on a server that did not answer.
        if (!pop3_.endRun() || pop3_.waitWasCut()) {
            connectionLost();
            return;
        }
        if (stopped) {
            reloadAfterCancel(load(StringId::CancelledByUser));
            return;
        }
        // QUIT makes the deletions final; the reconnect lists what the server then holds.
        disconnect();
        connectOrDisconnect();
    });
}

void CMailboxCycle::viewRows(const std::vector<int>& rows) {
    guarded([&] {
        if (rows.empty()) {
            window_.setStatus(load(StringId::SelectOneToView));
            return;
        }
        CMessagePreview::show(pop3_, *std::min_element(rows.begin(), rows.end()) + 1, previewLines_,
                              contentHost_);
        if (connected_ && !pop3_.isConnected())
            connectionLost();
    });
}
