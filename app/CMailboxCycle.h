#pragma once

#include "app/IMailboxWindow.h"
#include "pop3/CPop3Session.h"

#include <cstdint>
#include <string>
#include <vector>

class IContentHost;
class IProgressHost;

// The main window's mailbox cycle: connect and load the list (from the header cache where the
// server's unique ids or, failing those, its numbering allow), retry while the account is busy,
// keep the connection alive and drop it when idle, disconnect, delete the marked messages and
// view one. It speaks to the window only through IMailboxWindow, so it runs without one.
class CMailboxCycle {
public:
    // Timer periods; tests shorten them.
    struct TimerPeriods {
        int keepAliveMs = 30000;
        int firstRetryMs = 3000;
        int retryMs = 5000;
        int longRetryMs = 20000;
    };
    // Busy replies after which the retries stop; up to shortRetriesUpTo of them the retry comes
    // after the short period (retryMs), above it after the long one.
    struct BusyRetries {
        static constexpr int giveUpAt = 27;
        static constexpr int shortRetriesUpTo = 13;
    };
    // From this many messages a delete shows a progress window and can be cancelled.
    static constexpr int kDeleteProgressFrom = 5;
    // Up to this many rows that cost no server command (a quick load's, the header cache's) are
    // shown without a progress window, in a fraction of a second; a longer list gets one, whose
    // Avbryt ends the list where it is.
    static constexpr int kQuietRowsMax = 20000;

    // Both must outlive the cycle.
    CMailboxCycle(CPop3Session& pop3, IMailboxWindow& window);

    void setProgressHost(IProgressHost* host) { progressHost_ = host; }
    // Where "Granska" shows a message's beginning, and how many of its body lines.
    void setContentHost(IContentHost* host) { contentHost_ = host; }
    void setPreviewLines(int lines) { previewLines_ = lines; }
    int previewLines() const { return previewLines_; }
    void setTimerPeriods(const TimerPeriods& periods) { periods_ = periods; }

    // Disconnects when connected, otherwise connects and loads the list.
    void connectOrDisconnect();
    // QUIT and the disconnected window; nothing when not connected.
    void disconnect();
    // The session lost the server during a command: the window returns to disconnected with
    // the session's reason in the status line.
    void connectionLost();
    void onKeepAliveTick();
    void onBusyRetryTick();
    // Ends a pending busy retry; false when none was pending.
    bool stopBusyRetry();
    // The user stopped a download or a delete run while the server was answering: the list is
    // loaded anew (from the header cache) with the login of the last connect, whatever the
    // fields hold by now, and the status line says "<cancelled> Listan har hämtats på nytt.".
    // A reconnect that fails leaves its own reason there.
    void reloadAfterCancel(const std::string& cancelled);

    // "Radera" on the marked list rows (indexes, ascending): one DELE each after the user's yes,
    // then QUIT commits them and the list is loaded anew. Avbryt is looked at right before each
    // DELE is written: none goes out after it. A run that cannot be proven in step deletes
    // nothing and leaves the reason.
    void deleteRows(const std::vector<int>& rows);
    // "Granska" on the marked list rows: the first one's beginning in the content window.
    void viewRows(const std::vector<int>& rows);

    // The login fields of the last connect, kept for the reconnects after a stop and for
    // "Återställ": the one copy of the password the window keeps, which overwrites itself when
    // the next connect replaces it and when the cycle goes.
    const IMailboxWindow::LoginFields& lastLogin() const { return lastLogin_; }
    bool isConnected() const { return connected_; }
    bool isFullLoad() const { return fullLoad_; }
    int busyRetryCount() const { return busyRetryCount_; }

private:
    void connectSequence();
    // Connects with the last login.
    void connectWith();
    void loadMailbox();
    // Shows a row for each of the count messages, fetching the headers of those in toFetch.
    // Returns the rows shown: fewer than count when the user ended the list early.
    // requested: how many of toFetch, from its first, were already asked for.
    int loadRows(int count, const std::vector<int>& toFetch, std::size_t requested);
    void finishLoad(const std::string& finalText);
    void loginFailed();
    // Runs a command of the cycle; one that runs out of memory ends as a lost connection does,
    // with a text, instead of ending the program.
    template <class Command> void guarded(Command command);
    void outOfMemory();

    CPop3Session& pop3_;
    IMailboxWindow& window_;
    IProgressHost* progressHost_ = nullptr;
    IContentHost* contentHost_ = nullptr;
    int previewLines_ = 0;
    TimerPeriods periods_;
    IMailboxWindow::LoginFields lastLogin_;
    std::string lastUser_;  // whose header rows the cache holds
    std::string tokenNote_; // what the status line says about the last sign-in's token
    // Keep-alive ticks since the session last answered a command other than NOOP.
    int idleTicks_ = 0;
    std::uint64_t activitySeen_ = 0;

    bool connected_ = false;
    bool fullLoad_ = false;
    bool skipHeaders_ = false;
    int busyRetryCount_ = 0;
    bool guarding_ = false; // a command runs inside guarded
};
