#pragma once

#include "app/AppSettings.h"
#include "app/CIspHostTable.h"
#include "app/CMailboxCycle.h"
#include "app/IMailboxWindow.h"
#include "dialogs/CProgressWindowHost.h"
#include "dialogs/IContentHost.h"
#include "dialogs/IMessageBoxHost.h"
#include "pop3/CPop3Session.h"
#include "send/CSmtpSession.h"
#include "send/IForwardHost.h"

#include <QDialog>

#include <memory>
#include <string>
#include <vector>

class CSettingsDlg;
class IDialogRunner;
class IProgressHost;
class ISettingsStore;
class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QToolBar;
class QTreeWidget;

// The main window: login fields, the message list, the quick-send panel and the status line,
// with the menu and toolbar whose commands it routes by their numeric ids. It runs the mailbox
// cycle: connect and load, keep alive, delete, view, disconnect.
class CMaroketDlg : public QDialog,
                    private IMailboxWindow,
                    private IForwardHost,
                    private IContentHost,
                    private IMessageBoxHost {
    Q_OBJECT

public:
    using TimerPeriods = CMailboxCycle::TimerPeriods;
    static constexpr int kKeepAliveTimer = CMailboxCycle::kKeepAliveTimer;
    static constexpr int kBusyRetryTimer = CMailboxCycle::kBusyRetryTimer;

    // The store is read once here and written after each confirmed settings dialog; every modal
    // interaction goes through the runner. Both must outlive the window.
    CMaroketDlg(ISettingsStore& store, IDialogRunner& runner, QWidget* parent = nullptr);
    ~CMaroketDlg() override;

    // Runs the command with this id as the menu, toolbar or a button would.
    void onCommand(int id);

    void setStatus(const std::string& text) override;
    void setStatus(int stringId);
    // The status line's text exactly as set, line end of a server reply included.
    const std::string& statusText() const { return status_; }
    // The focus to the server field, or the account field while "Tele2" is checked, with its text
    // selected.
    void focusLoginField() override;

    // The mailbox cycle.
    void connectOrDisconnect() override { cycle_.connectOrDisconnect(); }
    void disconnect() override { cycle_.disconnect(); }
    void onKeepAliveTick() { cycle_.onKeepAliveTick(); }
    void onBusyRetryTick() { cycle_.onBusyRetryTick(); }
    CMailboxCycle& cycle() { return cycle_; }

    // Seams for tests: the progress windows, the sockets of both sessions, the timer periods.
    void setProgressHost(IProgressHost* host);
    void setTimerPeriods(const TimerPeriods& periods) { cycle_.setTimerPeriods(periods); }
    bool isTimerRunning(int id) const;
    int busyRetryCount() const { return cycle_.busyRetryCount(); }

    const AppSettings& settings() const { return settings_; }
    CPop3Session& pop3() { return pop3_; }
    CSmtpSession& smtp() { return smtp_; }
    CSettingsDlg& settingsDlg() { return *settingsDlg_; }
    bool isConnected() const override { return cycle_.isConnected(); }
    // What a forward run needs of this window.
    IForwardHost& forwardHost() { return *this; }
    bool isFullLoad() const { return cycle_.isFullLoad(); }
    bool enterConnects() const { return enterConnects_; }
    QTreeWidget* list() const { return list_; }
    QAction* connectAction() const { return connectAction_; }
    QMenu* viewMenu() const { return menu208_; }
    QMenu* markMenu() const { return menu214_; }

signals:
    // Each command as it starts, whichever control sent it.
    void commandRun(int id);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void buildMenuBar();
    void buildToolBar(QWidget* client);
    void buildControls(QWidget* client);
    void buildPopupMenus();
    QAction* commandAction(const QString& text, int id);
    QLineEdit* addEdit(QWidget* client, int id, const QString& label, QRect where);

    // The bound fields and their controls.
    void readControls();

    void runCommand(int id);
    void handOutSettings();
    void onSettings();
    void onAbout();
    void onTele2();
    void onEnter();
    void onReset();
    void onRestore();
    void onDelete();
    void onView();
    void onListRightClick();
    void onMarkMenu();
    // Marking commands 502, 503, 504, 32795 to 32798.
    void onMarking(int id);
    // New (32782), reply (32783), forward (1010), address test (1104), quick send (1105).
    void onSending(int id);

    // The list rows marked, ascending.
    std::vector<int> selectedRows() const;
    void runPendingTicks();

    // IMailboxWindow: the cycle's view of this window.
    LoginFields takeLoginFields() override;
    void writeControls() override;
    void showConnected(bool connected) override;
    void clearRows() override;
    void appendRow(const std::string& first, const std::string& subject, const std::string& date,
                   const std::string& size) override;
    void startWindowTimer(int id, int periodMs) override;
    void stopWindowTimer(int id) override;
    bool askYesNo(const std::string& question) override;
    int quickLogin() const override;
    int idleTimeout() const override;

    // IContentHost, IMessageBoxHost: the core's windows go through the runner too.
    void showContent(const std::string& text) override;
    void showMessage(const std::string& text) override;
    // IForwardHost: a forward's failed message is a notice like the core's.
    void notify(const std::string& text) override { showMessage(text); }

    ISettingsStore& store_;
    IDialogRunner& runner_;
    AppSettings settings_;
    std::unique_ptr<CSettingsDlg> settingsDlg_;
    CPop3Session pop3_;
    CSmtpSession smtp_;
    CIspHostTable ispHostTable_;
    CProgressWindowHost progressWindows_;
    IProgressHost* progressHost_ = &progressWindows_;
    CMailboxCycle cycle_;

    std::string server_, account_, password_;
    bool tele2_ = false;
    std::string quickFrom_, quickText_, quickTo_;
    std::string savedAccount_, savedPassword_, savedRecipient_;
    bool enterConnects_ = true;
    std::string status_;

    // Qt's ids of the running window timers 30 and 31 (0 when stopped).
    int keepAliveTimerId_ = 0;
    int busyRetryTimerId_ = 0;
    // Commands in progress: a timer tick that arrives meanwhile (the wait hook lets timers run)
    // waits until the command is over.
    int busy_ = 0;
    bool pendingKeepAlive_ = false;
    bool pendingRetry_ = false;
    friend class CBusyScope;

    QLineEdit* serverEdit_ = nullptr;
    QLineEdit* accountEdit_ = nullptr;
    QLineEdit* passwordEdit_ = nullptr;
    QLineEdit* quickFromEdit_ = nullptr;
    QLineEdit* quickTextEdit_ = nullptr;
    QLineEdit* quickToEdit_ = nullptr;
    QCheckBox* tele2Box_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QLabel* statusLine_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QAction* connectAction_ = nullptr;
    QMenu* menu208_ = nullptr;
    QMenu* menu214_ = nullptr;
};
