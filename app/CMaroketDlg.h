#pragma once

#include "app/CInputQueue.h"
#include "app/CLoginFields.h"
#include "app/CMailboxCycle.h"
#include "app/CMainWindowLayout.h"
#include "app/CWindowTimers.h"
#include "app/IMailboxWindow.h"
#include "dialogs/CProgressWindowHost.h"
#include "platform/AppSettings.h"
#include "platform/CTlsMemory.h"
#include "platform/IContentHost.h"
#include "platform/IMessageBoxHost.h"
#include "pop3/CPop3Session.h"
#include "resources/StringIds.h"
#include "resources/WindowIds.h"
#include "send/CSmtpSession.h"
#include "send/ISendWindow.h"

#include <QDialog>

#include <memory>
#include <string>
#include <vector>

class CAccessTokens;
class CSettingsDlg;
class IDialogRunner;
class IProgressHost;
class ISettingsStore;
class QAction;
class QMenu;
class QTreeWidget;

// The main window: it puts its rooms together and routes the commands. The layout builds the
// menu, toolbar and controls; the login fields are bound to their controls; the message list
// holds the rows; the mailbox cycle connects, loads, keeps alive, deletes and views; the window
// timers run the cycle's ticks. The sending commands see the window as ISendWindow, the cycle
// as IMailboxWindow, the core's operations as their content and message-box hosts.
class CMaroketDlg : public QDialog,
                    private IMailboxWindow,
                    private ISendWindow,
                    private IContentHost,
                    private IMessageBoxHost {
    Q_OBJECT

public:
    using TimerPeriods = CMailboxCycle::TimerPeriods;

    // The store is read once here and written after each confirmed settings dialog; every modal
    // interaction goes through the runner. Both must outlive the window.
    CMaroketDlg(ISettingsStore& store, IDialogRunner& runner, QWidget* parent = nullptr);
    ~CMaroketDlg() override;

    // Runs the command as the menu, toolbar or a button would.
    void onCommand(CommandId id);
    // Ends the window, keeping its size, place and column widths for the next start.
    void done(int result) override;

    void setStatus(const std::string& text) override;
    void setStatus(StringId id);
    // The status line's text exactly as set, line end of a server reply included.
    const std::string& statusText() const { return status_; }
    void focusLoginField() override { login_.focusLoginField(); }

    // The mailbox cycle.
    void connectOrDisconnect() override { cycle_.connectOrDisconnect(); }
    void disconnect() override { cycle_.disconnect(); }
    void reloadAfterCancel(const std::string& cancelled) override {
        cycle_.reloadAfterCancel(cancelled);
    }
    void onKeepAliveTick() { cycle_.onKeepAliveTick(); }
    void onBusyRetryTick() { cycle_.onBusyRetryTick(); }
    CMailboxCycle& cycle() { return cycle_; }

    // Seams for tests: the progress windows, the sockets of both sessions, the timer periods.
    void setProgressHost(IProgressHost* host);
    void setTimerPeriods(const TimerPeriods& periods) { cycle_.setTimerPeriods(periods); }
    bool isTimerRunning(TimerId id) const { return timers_.isRunning(id); }
    int busyRetryCount() const { return cycle_.busyRetryCount(); }

    const AppSettings& settings() const override { return settings_; }
    CPop3Session& pop3() override { return pop3_; }
    CSmtpSession& smtp() override { return smtp_; }
    CSettingsDlg& settingsDlg() { return *settingsDlg_; }
    // The sign-in of the accounts without a password, which both sessions use.
    CAccessTokens& accessTokens() { return *accessTokens_; }
    bool isConnected() const override { return cycle_.isConnected(); }
    bool isFullLoad() const { return cycle_.isFullLoad(); }
    bool enterConnects() const { return login_.enterConnects(); }
    QTreeWidget* list() const { return layout_.list().widget(); }
    CMessageListView& listView() { return layout_.list(); }
    QAction* connectAction() const { return layout_.connectAction(); }
    QMenu* viewMenu() const { return layout_.viewMenu(); }
    QMenu* markMenu() const { return layout_.markMenu(); }

signals:
    // Each command as it starts, whichever control sent it.
    void commandRun(CommandId id);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void runCommand(CommandId id);
    bool runWindowCommand(CommandId id);
    void runSendingCommand(CommandId id);
    // The settings into both sessions and the quick-send panel's sender.
    void applySettings();
    void onSettings();
    void onAbout();
    void onReset();
    void onRestore();
    // Escape or "Nollställ" while a command waits on a server: the wait ends now.
    void stopWait();

    // IMailboxWindow: the cycle's view of this window.
    LoginFields takeLoginFields() override { return login_.take(); }
    // Also ends a batch of rows: every load and every stop of one ends here.
    void writeControls() override {
        layout_.list().flushRows();
        login_.writeControls();
    }
    void showConnected(bool connected) override;
    void clearRows() override { layout_.list().clearRows(); }
    void appendRow(const std::string& first, const std::string& subject, const std::string& date,
                   const std::string& size) override;
    void startWindowTimer(TimerId id, int periodMs) override { timers_.start(id, periodMs); }
    void stopWindowTimer(TimerId id) override { timers_.stop(id); }
    bool askYesNo(const std::string& question) override;
    int quickLogin() const override;
    int idleTimeout() const override;
    IAccessTokens* accessTokensFor(const std::string& server, const CSecret& password) override;

    // ISendWindow: what the sending commands need.
    std::vector<int> selectedRows() const override { return layout_.list().selectedRows(); }
    IDialogRunner& runner() override { return runner_; }
    QWidget* dialogParent() override { return this; }
    CSmtpLogin typedLogin() override;
    std::string quickFrom() override;
    // A forward's failed message is a notice like the core's.
    void notify(const std::string& text) override { showMessage(text); }
    IProgressHost* progressHost() override { return progressHost_; }
    IMessageBoxHost* messageBoxHost() override { return this; }

    // IContentHost, IMessageBoxHost: the core's windows go through the runner too.
    void showContent(const std::string& text) override;
    void showMessage(const std::string& text) override;

    ISettingsStore& store_;
    IDialogRunner& runner_;
    CTlsMemory tlsMemory_; // in store_
    AppSettings settings_;
    std::unique_ptr<CSettingsDlg> settingsDlg_;
    std::unique_ptr<CAccessTokens> accessTokens_;
    CPop3Session pop3_;
    CSmtpSession smtp_;
    CProgressWindowHost progressWindows_;
    IProgressHost* progressHost_ = &progressWindows_;
    CMailboxCycle cycle_;
    CWindowTimers timers_;
    CInputQueue input_;
    CMainWindowLayout layout_;
    CLoginFields login_;
    std::string status_;
};
