#include "app/CMaroketDlg.h"

#include "app/CAccessTokens.h"
#include "app/CStatusLine.h"
#include "app/CStatusText.h"
#include "app/CWindowPlacement.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CContentDlg.h"
#include "dialogs/CMarkingCommands.h"
#include "dialogs/CSettingsDlg.h"
#include "dialogs/CUiText.h"
#include "dialogs/DialogResult.h"
#include "dialogs/IDialogRunner.h"
#include "platform/CCancelRegistry.h"
#include "platform/COAuthProviders.h"
#include "platform/ISettingsStore.h"
#include "resources/CStringTable.h"
#include "send/CMessageFlows.h"
#include "send/CQuickSendPanel.h"

#include <QAction>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

#include <new>

namespace {

QString text(const std::string& bytes) {
    return CUiText::toQString(bytes);
}

} // namespace

CMaroketDlg::CMaroketDlg(ISettingsStore& store, IDialogRunner& runner, QWidget* parent)
    : QDialog(parent), store_(store), runner_(runner), tlsMemory_(store),
      settingsDlg_(std::make_unique<CSettingsDlg>(this)),
      accessTokens_(std::make_unique<CAccessTokens>(store, this)), progressWindows_(this),
      cycle_(pop3_, *this), timers_(cycle_), input_(*this, [this] { return timers_.isBusy(); }),
      layout_(
          *this, [this](CommandId id) { onCommand(id); }, this),
      login_(layout_.loginControls()) {
    timers_.setOnIdle([this] {
        // A stop meant the command that has just ended, never the next one.
        CCancelRegistry::allowWaits();
        input_.commandEnded();
    });
    input_.setStopInput(layout_.resetButton(), [this] { stopWait(); });
    connect(list(), &QWidget::customContextMenuRequested, this, [this] {
        if (!timers_.isBusy())
            layout_.popUpListMenu(layout_.list().selectedCount(), cycle_.isConnected());
    });
    setStatus(StringId::Disconnected);

    cycle_.setContentHost(this);
    accessTokens_->setStatusLine([this](const std::string& line) { setStatus(line); });
    pop3_.setTlsMemory(&tlsMemory_);
    smtp_.setTlsMemory(&tlsMemory_);
    setProgressHost(nullptr);

    settings_.read(store_);
    settingsDlg_->settings() = settings_;
    applySettings();
    writeControls();
    CWindowPlacement::restore(store_, *this, layout_.list());
}

void CMaroketDlg::done(int result) {
    CWindowPlacement::save(store_, *this, layout_.list());
    QDialog::done(result);
}

CMaroketDlg::~CMaroketDlg() = default;

void CMaroketDlg::applySettings() {
    login_.setQuickFrom(settings_.address);
    pop3_.setPort(settings_.port);
    cycle_.setPreviewLines(settings_.lines);
    pop3_.setPipeliningAllowed(settings_.pipelining != 0);
    smtp_.setServer(settings_.smtpServer);
    smtp_.setPort(settings_.smtpPort);
    smtp_.setHelo(settings_.helo);
    smtp_.setDnsServer(settings_.dns);
}

void CMaroketDlg::setStatus(const std::string& status) {
    status_ = status;
    // A server's reply keeps its line ends in the text; the one-line label shows its lines as
    // one.
    layout_.statusLine()->setStatus(text(CStatusText::oneLine(status)));
}

void CMaroketDlg::setStatus(StringId id) {
    setStatus(CStringTable::load(id));
}

void CMaroketDlg::onCommand(CommandId id) {
    // A command cannot start inside another one's network wait: one asked for meanwhile (an
    // accessibility action, say) runs after it, in turn with the input held for the window.
    if (timers_.isBusy()) {
        // "Nollställ" stops the wait instead of waiting for it (an accessibility action; a click
        // or a key comes through the input queue's stop).
        if (id == CommandId::Reset)
            stopWait();
        else
            input_.defer([this, id] { onCommand(id); });
        return;
    }
    CWindowTimers::BusyScope busy(timers_);
    // A command that runs out of memory ends with a text; it does not end the program.
    try {
        runCommand(id);
    } catch (const std::bad_alloc&) {
        setStatus(StringId::OutOfMemory);
    }
}

void CMaroketDlg::runCommand(CommandId id) {
    emit commandRun(id);
    if (runWindowCommand(id))
        return;
    switch (id) {
    case CommandId::MarkAll:
    case CommandId::MarkNone:
    case CommandId::InvertMarks:
    case CommandId::MarkByNumber:
    case CommandId::MarkBySize:
    case CommandId::MarkBySender:
    case CommandId::MarkBySubject:
        CMarkingCommands(*list(), pop3_.messageTable(), runner_, this,
                         [this](const std::string& line) { setStatus(line); })
            .run(id, cycle_.isFullLoad());
        break;
    default:
        runSendingCommand(id);
        break;
    }
}

// The commands of the window itself and of the mailbox cycle; false for any other.
bool CMaroketDlg::runWindowCommand(CommandId id) {
    switch (id) {
    case CommandId::Exit:
        reject(); // the program ends; the POP3 connection closes without QUIT
        return true;
    case CommandId::Connect:
        connectOrDisconnect();
        return true;
    case CommandId::Enter:
        runCommand(login_.enterConnects() ? CommandId::Connect : CommandId::TestAddress);
        return true;
    case CommandId::View:
        cycle_.viewRows(selectedRows());
        return true;
    case CommandId::Delete:
        cycle_.deleteRows(selectedRows());
        return true;
    case CommandId::Settings:
        onSettings();
        return true;
    case CommandId::About:
        onAbout();
        return true;
    case CommandId::Tele2:
        login_.onTele2();
        return true;
    case CommandId::MarkMenu:
        layout_.popUpMarkMenu(cycle_.isFullLoad());
        return true;
    case CommandId::Reset:
        onReset();
        return true;
    case CommandId::Restore:
        onRestore();
        return true;
    default:
        return false;
    }
}

void CMaroketDlg::runSendingCommand(CommandId id) {
    // The flows keep nothing between runs.
    CMessageFlows flows(*this);
    CQuickSendPanel quick(*this);
    switch (id) {
    case CommandId::NewMessage:
        flows.newMessage();
        break;
    case CommandId::Reply:
        flows.reply();
        break;
    case CommandId::Forward:
        flows.forward();
        break;
    case CommandId::TestAddress:
        login_.readControls();
        quick.testQuickAddress(login_.quickFrom(), login_.quickTo());
        break;
    case CommandId::QuickSend:
        login_.readControls();
        quick.sendQuickText(login_.quickFrom(), login_.quickTo(), login_.quickText());
        break;
    default:
        break;
    }
}

void CMaroketDlg::onSettings() {
    if (runner_.run(*settingsDlg_) == DialogResult::ok) {
        login_.readControls();
        settings_ = settingsDlg_->settings();
        applySettings();
        settings_.write(store_);
        writeControls();
    }
    focusLoginField();
}

void CMaroketDlg::onAbout() {
    CAboutDlg about(this);
    about.SetCreditsVariant(0);
    runner_.run(about);
    focusLoginField();
}

void CMaroketDlg::onReset() {
    if (cycle_.stopBusyRetry()) {
        setStatus(StringId::Disconnected);
        focusLoginField();
        writeControls();
        return;
    }
    login_.clear();
    disconnect();
    setStatus(StringId::Disconnected);
    focusLoginField();
}

void CMaroketDlg::stopWait() {
    // A progress window's operation stops as at its Avbryt, and reloads what the server still
    // holds; any other wait ends at once, the connection dropped.
    if (CCancelRegistry::hasSources())
        progressHost_->cancelProgressWindows();
    else
        CCancelRegistry::stopWaits();
}

void CMaroketDlg::onRestore() {
    login_.restore(cycle_.lastLogin());
    focusLoginField();
    writeControls();
}

CSmtpLogin CMaroketDlg::typedLogin() {
    login_.readControls();
    CSecret password = login_.typedPassword();
    if (IAccessTokens* tokens = accessTokensFor(settings_.smtpServer, password))
        return {login_.account(), *tokens};
    return {login_.account(), std::move(password)};
}

IAccessTokens* CMaroketDlg::accessTokensFor(const std::string& server, const CSecret& password) {
    // A typed password always takes the password login.
    return password.empty() && COAuthProviders(store_).signsInWithOAuth(server, {})
               ? accessTokens_.get()
               : nullptr;
}

std::string CMaroketDlg::quickFrom() {
    login_.readControls();
    return login_.quickFrom();
}

bool CMaroketDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list()->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        QMetaObject::invokeMethod(
            this, [this] { onCommand(CommandId::View); }, Qt::QueuedConnection);
        return true;
    }
    login_.noteFocus(watched, event);
    return QDialog::eventFilter(watched, event);
}

void CMaroketDlg::keyPressEvent(QKeyEvent* event) {
    // Enter anywhere that does not take it itself goes to the hidden default button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        onCommand(CommandId::Enter);
        return;
    }
    QDialog::keyPressEvent(event);
}

void CMaroketDlg::setProgressHost(IProgressHost* host) {
    progressHost_ = host ? host : &progressWindows_;
    smtp_.setProgressHost(progressHost_);
    cycle_.setProgressHost(progressHost_);
}

void CMaroketDlg::showConnected(bool connected) {
    layout_.showConnected(connected);
}

void CMaroketDlg::appendRow(const std::string& first, const std::string& subject,
                            const std::string& date, const std::string& size) {
    layout_.list().appendRow(first, subject, date, size);
}

bool CMaroketDlg::askYesNo(const std::string& question) {
    return runner_.askYesNo(text(question));
}

int CMaroketDlg::quickLogin() const {
    return settingsDlg_->settings().quickLogin;
}

int CMaroketDlg::idleTimeout() const {
    return settingsDlg_->settings().timeout;
}

void CMaroketDlg::showContent(const std::string& content) {
    CContentDlg dialog(this);
    dialog.SetText(content);
    runner_.run(dialog);
}

void CMaroketDlg::showMessage(const std::string& message) {
    runner_.notify(text(message));
}
