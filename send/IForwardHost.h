#pragma once

#include <string>

class IMessageBoxHost;
class IProgressHost;

// What a forward run needs of the main window: the status line, a notice the user confirms,
// where its downloads show their progress window and message box, and the mailbox cycle's
// disconnect and reconnect that commit the run's deletions and load the list anew, also after a
// cancel.
class IForwardHost {
public:
    virtual ~IForwardHost() = default;
    // Null: no window, no box.
    virtual IProgressHost* progressHost() = 0;
    virtual IMessageBoxHost* messageBoxHost() = 0;
    virtual void setStatus(const std::string& text) = 0;
    virtual void notify(const std::string& text) = 0;
    virtual void disconnect() = 0;
    virtual void connectOrDisconnect() = 0;
    virtual bool isConnected() const = 0;
    // The user stopped a download while the server was answering: the list is loaded anew with
    // the last connect's login, and the status line says the work was cancelled.
    virtual void reloadAfterCancel(const std::string& cancelled) = 0;
};
