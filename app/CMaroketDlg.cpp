#include "app/CMaroketDlg.h"

#include "app/CSizeText.h"
#include "app/CUiText.h"
#include "app/IDialogRunner.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CAppIcon.h"
#include "dialogs/CContentDlg.h"
#include "dialogs/CDialogUnits.h"
#include "dialogs/CMarkingCommands.h"
#include "dialogs/CProgressThread.h"
#include "dialogs/CSettingsDlg.h"
#include "platform/ISettingsStore.h"
#include "resources/CStringTable.h"
#include "resources/MaroketVersion.h"
#include "send/CMessageFlows.h"
#include "send/CQuickSendPanel.h"

#include <QAction>
#include <QCheckBox>
#include <QCursor>
#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QTimerEvent>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kDisconnected = 604;
constexpr int kToolBarWidth = 628;
constexpr int kToolBarHeight = 40;

QString text(const std::string& bytes) {
    return CUiText::toQString(bytes);
}

std::string load(int id) {
    return CStringTable::load(id);
}

} // namespace

// Marks a command in progress for as long as it runs.
class CBusyScope {
public:
    explicit CBusyScope(CMaroketDlg& window) : window_(window) { ++window_.busy_; }
    ~CBusyScope() {
        if (--window_.busy_ == 0 && (window_.pendingKeepAlive_ || window_.pendingRetry_))
            QTimer::singleShot(0, &window_, [w = &window_] { w->runPendingTicks(); });
    }
    CBusyScope(const CBusyScope&) = delete;
    CBusyScope& operator=(const CBusyScope&) = delete;

private:
    CMaroketDlg& window_;
};

CMaroketDlg::CMaroketDlg(ISettingsStore& store, IDialogRunner& runner, QWidget* parent)
    : QDialog(parent), store_(store), runner_(runner),
      settingsDlg_(std::make_unique<CSettingsDlg>(this)), cycle_(pop3_, *this) {
    setWindowTitle(QStringLiteral("Maroket"));
    setWindowIcon(CAppIcon::icon());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFont(CDialogUnits::dialogFont());

    // Fixed size: the client area of 426 x 254 dialog units below the menu bar.
    auto* frame = new QVBoxLayout(this);
    frame->setContentsMargins(0, 0, 0, 0);
    frame->setSizeConstraint(QLayout::SetFixedSize);
    auto* client = new QWidget(this);
    const CDialogUnits du(font());
    client->setFixedSize(du.x(426), du.y(254));
    frame->addWidget(client);
    buildMenuBar();
    buildToolBar(client);
    buildControls(client);
    buildPopupMenus();
    setStatus(kDisconnected);

    pop3_.setProgressHost(progressHost_);
    pop3_.setContentHost(this);
    pop3_.setMessageBoxHost(this);
    smtp_.setProgressHost(progressHost_);
    cycle_.setProgressHost(progressHost_);

    settings_.read(store_);
    quickFrom_ = settings_.address;
    handOutSettings();
    writeControls();
}

CMaroketDlg::~CMaroketDlg() = default;

QAction* CMaroketDlg::commandAction(const QString& label, int id) {
    auto* action = new QAction(label, this);
    action->setData(id);
    connect(action, &QAction::triggered, this, [this, id] { onCommand(id); });
    return action;
}

void CMaroketDlg::buildMenuBar() {
    auto* bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("172"));
    layout()->setMenuBar(bar);
    QMenu* file = bar->addMenu(QStringLiteral("&Arkiv"));
    file->addAction(commandAction(QStringLiteral("A&vsluta"), 1));
    QMenu* edit = bar->addMenu(QStringLiteral("&Redigera"));
    QMenu* mark = edit->addMenu(QStringLiteral("&Markera"));
    mark->addAction(commandAction(QStringLiteral("Brevnummer..."), 32795));
    mark->addAction(commandAction(QStringLiteral("Storlek..."), 32796));
    mark->addAction(commandAction(QStringLiteral("Från..."), 32797));
    mark->addAction(commandAction(QStringLiteral("Ärenderad..."), 32798));
    edit->addSeparator();
    edit->addAction(commandAction(QStringLiteral("&Inställningar..."), 1040));
    QMenu* message = bar->addMenu(QStringLiteral("&Meddelande"));
    message->addAction(commandAction(QStringLiteral("Skriv &nytt..."), 32782));
    message->addAction(commandAction(QStringLiteral("&Svara..."), 32783));
    message->addAction(commandAction(QStringLiteral("&Granska..."), 1009));
    message->addSeparator();
    message->addAction(commandAction(QStringLiteral("Ra&dera..."), 1011));
    message->addAction(commandAction(QStringLiteral("&Forward..."), 1010));
    QMenu* help = bar->addMenu(QStringLiteral("&Hjälp"));
    help->addAction(commandAction(QStringLiteral("&Om Maroket..."), 1046));
}

void CMaroketDlg::buildToolBar(QWidget* client) {
    toolBar_ = new QToolBar(client);
    toolBar_->setObjectName(QStringLiteral("501"));
    toolBar_->setGeometry(0, 0, kToolBarWidth, kToolBarHeight);
    toolBar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolBar_->setIconSize(QSize(16, 16));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    struct Entry {
        int command; // 0 for a separator
        int image;   // the image's bitmap resource id
        const char* label;
    };
    static const Entry entries[] = {
        {105, 201, "Anslut"},   {0, 0, nullptr},        {1009, 202, "Granska"},
        {1011, 207, "Radera"},  {0, 0, nullptr},        {32782, 146, "Skriv"},
        {32783, 206, "Svara"},  {1010, 203, "Forward"}, {0, 0, nullptr},
        {1054, 198, "Markera"}, {502, 197, "Allt"},     {503, 196, "Inget"},
        {504, 195, "Inv."},     {0, 0, nullptr},        {1040, 204, "Inställn."},
        {0, 0, nullptr},        {1046, 178, "Om"},
    };
    for (const Entry& e : entries) {
        if (!e.command) {
            toolBar_->addSeparator();
            continue;
        }
        QAction* action = commandAction(QString::fromUtf8(e.label), e.command);
        action->setIcon(QIcon(QStringLiteral(":/toolbar/%1.svg").arg(e.image)));
        action->setToolTip(action->text());
        toolBar_->addAction(action);
        if (e.command == 105) {
            action->setCheckable(true); // shown pressed while connected
            connectAction_ = action;
        }
    }
}

QLineEdit* CMaroketDlg::addEdit(QWidget* client, int id, const QString& label, QRect where) {
    auto* edit = new QLineEdit(client);
    edit->setObjectName(QString::number(id));
    edit->setAccessibleName(label);
    edit->setGeometry(where);
    return edit;
}

void CMaroketDlg::buildControls(QWidget* client) {
    const CDialogUnits du(font());
    auto label = [&](const QString& text, QRect where, Qt::Alignment align = Qt::AlignLeft) {
        auto* l = new QLabel(text, client);
        l->setGeometry(where);
        l->setAlignment(align | Qt::AlignVCenter);
        return l;
    };
    auto button = [&](int id, const QString& text, QRect where) {
        auto* b = new QPushButton(text, client);
        b->setObjectName(QString::number(id));
        b->setAutoDefault(false);
        b->setGeometry(where);
        connect(b, &QPushButton::clicked, this, [this, id] { onCommand(id); });
        return b;
    };
    auto group = [&](const QString& title, QRect where) {
        auto* g = new QGroupBox(title, client);
        g->setGeometry(where);
        g->lower();
        return g;
    };

    group(QStringLiteral("Inloggningsuppgifter"), du.rect(7, 26, 342, 36));
    label(QStringLiteral("Mailserver"), du.rect(13, 41, 36, 10), Qt::AlignRight);
    serverEdit_ = addEdit(client, 1003, QStringLiteral("Mailserver"), du.rect(52, 40, 84, 12));
    label(QStringLiteral("Konto-ID"), du.rect(140, 41, 32, 10), Qt::AlignRight);
    accountEdit_ = addEdit(client, 1004, QStringLiteral("Konto-ID"), du.rect(175, 40, 72, 12));
    label(QStringLiteral("Lösenord"), du.rect(250, 41, 32, 10), Qt::AlignRight);
    // Shown in clear text, as the program always has.
    passwordEdit_ = addEdit(client, 1005, QStringLiteral("Lösenord"), du.rect(285, 40, 58, 12));
    tele2Box_ = new QCheckBox(QStringLiteral("Tele2"), client);
    tele2Box_->setObjectName(QStringLiteral("1047"));
    tele2Box_->setGeometry(du.rect(300, 28, 40, 10));
    tele2Box_->hide(); // created hidden; nothing shows it
    connect(tele2Box_, &QCheckBox::clicked, this, [this] { onCommand(1047); });
    button(1058, QStringLiteral("Nollställ"), du.rect(358, 29, 60, 14));
    button(1099, QStringLiteral("Återställ"), du.rect(358, 46, 60, 14));

    group(QStringLiteral("Kontoinnehåll"), du.rect(7, 64, 412, 132));
    list_ = new QTreeWidget(client);
    list_->setObjectName(QStringLiteral("1030"));
    list_->setAccessibleName(QStringLiteral("Kontoinnehåll"));
    list_->setGeometry(du.rect(13, 75, 400, 115));
    list_->setRootIsDecorated(false);
    list_->setItemsExpandable(false);
    list_->setIndentation(0);
    list_->setUniformRowHeights(true);
    list_->setSortingEnabled(false);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setAllColumnsShowFocus(true);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list_, &QWidget::customContextMenuRequested, this, [this] {
        if (!busy_)
            onListRightClick();
    });
    // A double click anywhere in the list, on a row or not, views the first selected message.
    list_->viewport()->installEventFilter(this);
    // The selection stays as visible without the focus as with it.
    QPalette palette = list_->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    list_->setPalette(palette);
    list_->setUpdatesEnabled(false);
    list_->setHeaderLabels({text(CStringTable::load(105)), text(CStringTable::load(106)),
                            text(CStringTable::load(107)), text(CStringTable::load(108))});
    const int widths[] = {240, 140, 133, 64};
    for (int c = 0; c < 4; ++c)
        list_->setColumnWidth(c, widths[c]);
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionsMovable(false);
    list_->setUpdatesEnabled(true);

    label(QStringLiteral("Från:"), du.rect(7, 201, 22, 10));
    quickFromEdit_ = addEdit(client, 1101, QStringLiteral("Från:"), du.rect(30, 200, 100, 12));
    label(QStringLiteral("Till/Domän:"), du.rect(136, 201, 40, 10), Qt::AlignRight);
    quickToEdit_ = addEdit(client, 1103, QStringLiteral("Till/Domän:"), du.rect(178, 200, 112, 12));
    button(1104, QStringLiteral("Testa"), du.rect(296, 199, 50, 14));
    label(QStringLiteral("Text:"), du.rect(7, 217, 22, 10));
    quickTextEdit_ = addEdit(client, 1102, QStringLiteral("Text:"), du.rect(30, 216, 260, 12));
    button(1105, QStringLiteral("Skicka"), du.rect(296, 215, 50, 14));

    auto* connectButton = button(1007, QStringLiteral("Anslut"), du.rect(358, 199, 50, 14));
    connectButton->hide(); // the hidden default button: Enter comes to onEnter

    auto* version =
        label(QString::fromLatin1(kMaroketVersionText), du.rect(358, 218, 61, 8), Qt::AlignRight);
    version->setObjectName(QStringLiteral("1107"));
    statusLine_ = label(QString(), du.rect(7, 236, 412, 12));
    statusLine_->setObjectName(QStringLiteral("1108"));
    statusLine_->setAccessibleName(QStringLiteral("Status"));
    statusLine_->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    for (QLineEdit* edit : {accountEdit_, passwordEdit_, quickToEdit_})
        edit->installEventFilter(this);
    setTabOrder(serverEdit_, accountEdit_);
    setTabOrder(accountEdit_, passwordEdit_);
}

void CMaroketDlg::buildPopupMenus() {
    menu208_ = new QMenu(this);
    menu208_->setObjectName(QStringLiteral("208"));
    menu208_->addAction(commandAction(QStringLiteral("Radera..."), 1011));
    menu208_->addAction(commandAction(QStringLiteral("Forward..."), 1010));
    menu208_->addSeparator();
    menu208_->addAction(commandAction(QStringLiteral("Granska..."), 1009));
    menu208_->addAction(commandAction(QStringLiteral("Svara..."), 32783));
    menu214_ = new QMenu(this);
    menu214_->setObjectName(QStringLiteral("214"));
    menu214_->addAction(commandAction(QStringLiteral("Markera nummer..."), 32795));
    menu214_->addAction(commandAction(QStringLiteral("Markera storlek..."), 32796));
    menu214_->addAction(commandAction(QStringLiteral("Markera från..."), 32797));
    menu214_->addAction(commandAction(QStringLiteral("Markera ärende..."), 32798));
}

void CMaroketDlg::readControls() {
    server_ = CUiText::toBytes(serverEdit_->text());
    account_ = CUiText::toBytes(accountEdit_->text());
    password_ = CUiText::toBytes(passwordEdit_->text());
    tele2_ = tele2Box_->isChecked();
    quickFrom_ = CUiText::toBytes(quickFromEdit_->text());
    quickText_ = CUiText::toBytes(quickTextEdit_->text());
    quickTo_ = CUiText::toBytes(quickToEdit_->text());
}

void CMaroketDlg::writeControls() {
    serverEdit_->setText(text(server_));
    accountEdit_->setText(text(account_));
    passwordEdit_->setText(text(password_));
    tele2Box_->setChecked(tele2_);
    quickFromEdit_->setText(text(quickFrom_));
    quickTextEdit_->setText(text(quickText_));
    quickToEdit_->setText(text(quickTo_));
}

void CMaroketDlg::setStatus(const std::string& status) {
    status_ = status;
    // A server's reply keeps its line end in the text; the one-line label does not show it.
    std::string shown = status;
    while (!shown.empty() && (shown.back() == '\n' || shown.back() == '\r'))
        shown.pop_back();
    statusLine_->setText(text(shown));
}

void CMaroketDlg::setStatus(int stringId) {
    setStatus(load(stringId));
}

void CMaroketDlg::focusLoginField() {
    QLineEdit* field = tele2Box_->isChecked() ? accountEdit_ : serverEdit_;
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
}

void CMaroketDlg::handOutSettings() {
    settingsDlg_->SetPort(settings_.port);
    settingsDlg_->SetLines(settings_.lines);
    settingsDlg_->SetSmtpServer(settings_.smtpServer);
    settingsDlg_->SetHelo(settings_.helo);
    settingsDlg_->SetSmtpPort(settings_.smtpPort);
    settingsDlg_->SetAddress(settings_.address);
    settingsDlg_->dns = settings_.dns;
    settingsDlg_->quickLogin = settings_.quickLogin;
    settingsDlg_->timeout = settings_.timeout;
    pop3_.setPreviewLines(settings_.lines);
    pop3_.setPort(settings_.port);
    pop3_.setPipeliningAllowed(settings_.pipelining != 0);
    smtp_.setServer(settings_.smtpServer);
    smtp_.setPort(settings_.smtpPort);
    smtp_.setHelo(settings_.helo);
    smtp_.setDnsServer(settings_.dns);
}

void CMaroketDlg::onCommand(int id) {
    // A command cannot start inside another one's network wait.
    if (busy_)
        return;
    CBusyScope busy(*this);
    runCommand(id);
}

void CMaroketDlg::runCommand(int id) {
    emit commandRun(id);
    switch (id) {
    case 1:
        reject(); // the program ends; the POP3 connection closes without QUIT
        break;
    case 105:
        connectOrDisconnect();
        break;
    case 1007:
        onEnter();
        break;
    case 1009:
        onView();
        break;
    case 1011:
        onDelete();
        break;
    case 1040:
        onSettings();
        break;
    case 1046:
        onAbout();
        break;
    case 1047:
        onTele2();
        break;
    case 1054:
        onMarkMenu();
        break;
    case 1058:
        onReset();
        break;
    case 1099:
        onRestore();
        break;
    case 502:
    case 503:
    case 504:
    case 32795:
    case 32796:
    case 32797:
    case 32798:
        onMarking(id);
        break;
    case 1010:
    case 1104:
    case 1105:
    case 32782:
    case 32783:
        onSending(id);
        break;
    default:
        break;
    }
}

void CMaroketDlg::onMarking(int id) {
    CMarkingCommands marking(*list_, pop3_.messageTable(), runner_, this,
                             [this](const std::string& line) { setStatus(line); });
    marking.run(id, cycle_.isFullLoad());
}

void CMaroketDlg::onSending(int id) {
    // The flows keep nothing between runs.
    CMessageFlows flows(*this, runner_);
    CQuickSendPanel quick(*this);
    switch (id) {
    case 32782:
        flows.newMessage();
        break;
    case 32783:
        flows.reply();
        break;
    case 1010:
        flows.forward();
        break;
    case 1104:
        readControls();
        quick.testQuickAddress(quickFrom_, quickTo_);
        break;
    case 1105:
        readControls();
        quick.sendQuickText(quickFrom_, quickTo_, quickText_);
        break;
    default:
        break;
    }
}

void CMaroketDlg::onEnter() {
    runCommand(enterConnects_ ? 105 : 1104);
}

void CMaroketDlg::onSettings() {
    if (runner_.run(*settingsDlg_) == 1) {
        readControls();
        settings_.port = settingsDlg_->port();
        settings_.lines = settingsDlg_->lines();
        settings_.helo = settingsDlg_->helo();
        settings_.smtpServer = settingsDlg_->smtpServer();
        settings_.smtpPort = settingsDlg_->smtpPort();
        settings_.address = settingsDlg_->address();
        settings_.dns = settingsDlg_->dns;
        settings_.quickLogin = settingsDlg_->quickLogin;
        settings_.timeout = settingsDlg_->timeout;
        quickFrom_ = settings_.address;
        pop3_.setPort(settings_.port);
        pop3_.setPreviewLines(settings_.lines);
        smtp_.setHelo(settings_.helo);
        smtp_.setPort(settings_.smtpPort);
        smtp_.setServer(settings_.smtpServer);
        smtp_.setDnsServer(settings_.dns);
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

void CMaroketDlg::onTele2() {
    readControls();
    serverEdit_->setEnabled(!tele2_);
    (tele2_ ? accountEdit_ : serverEdit_)->setFocus(Qt::OtherFocusReason);
}

bool CMaroketDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        QMetaObject::invokeMethod(
            this, [this] { onCommand(1009); }, Qt::QueuedConnection);
        return true;
    }
    if (event->type() == QEvent::FocusIn) {
        if (watched == accountEdit_ || watched == passwordEdit_)
            enterConnects_ = true;
        else if (watched == quickToEdit_)
            enterConnects_ = false;
    }
    return QDialog::eventFilter(watched, event);
}

void CMaroketDlg::keyPressEvent(QKeyEvent* event) {
    // Enter anywhere that does not take it itself goes to the hidden default button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        onCommand(1007);
        return;
    }
    QDialog::keyPressEvent(event);
}

void CMaroketDlg::timerEvent(QTimerEvent* event) {
    const int id = event->timerId();
    const bool keepAlive = id == keepAliveTimerId_ && id != 0;
    const bool retry = id == busyRetryTimerId_ && id != 0;
    if (!keepAlive && !retry) {
        QDialog::timerEvent(event);
        return;
    }
    if (retry)
        stopWindowTimer(kBusyRetryTimer); // one-shot
    if (busy_) {
        (keepAlive ? pendingKeepAlive_ : pendingRetry_) = true;
        return;
    }
    CBusyScope busy(*this);
    keepAlive ? onKeepAliveTick() : onBusyRetryTick();
}

void CMaroketDlg::runPendingTicks() {
    if (busy_)
        return;
    CBusyScope busy(*this);
    if (std::exchange(pendingRetry_, false))
        onBusyRetryTick();
    if (std::exchange(pendingKeepAlive_, false) && cycle_.isConnected())
        onKeepAliveTick();
}

bool CMaroketDlg::isTimerRunning(int id) const {
    return (id == kKeepAliveTimer ? keepAliveTimerId_ : busyRetryTimerId_) != 0;
}

void CMaroketDlg::setProgressHost(IProgressHost* host) {
    progressHost_ = host ? host : &progressWindows_;
    pop3_.setProgressHost(progressHost_);
    smtp_.setProgressHost(progressHost_);
    cycle_.setProgressHost(progressHost_);
}

IMailboxWindow::LoginFields CMaroketDlg::takeLoginFields() {
    readControls();
    if (tele2_) {
        // No slot for the account's second character: the typed server stays.
        std::string host = ispHostTable_.hostFor(account_);
        if (!host.empty())
            server_ = host;
    }
    writeControls();
    savedAccount_ = account_;
    savedPassword_ = password_;
    return {server_, account_, password_};
}

void CMaroketDlg::showConnected(bool connected) {
    connectAction_->setChecked(connected);
}

void CMaroketDlg::clearRows() {
    list_->clear();
}

void CMaroketDlg::appendRow(const std::string& first, const std::string& subject,
                            const std::string& date, const std::string& size) {
    auto* row = new QTreeWidgetItem(list_);
    row->setText(0, text(first));
    row->setText(1, text(subject));
    row->setText(2, text(date));
    row->setText(3, text(size));
}

void CMaroketDlg::startWindowTimer(int id, int periodMs) {
    stopWindowTimer(id);
    (id == kKeepAliveTimer ? keepAliveTimerId_ : busyRetryTimerId_) = startTimer(periodMs);
}

void CMaroketDlg::stopWindowTimer(int id) {
    int& qtId = id == kKeepAliveTimer ? keepAliveTimerId_ : busyRetryTimerId_;
    if (qtId)
        killTimer(qtId);
    qtId = 0;
    if (id == kBusyRetryTimer)
        pendingRetry_ = false;
    else
        pendingKeepAlive_ = false;
}

bool CMaroketDlg::askYesNo(const std::string& question) {
    return runner_.askYesNo(text(question));
}

int CMaroketDlg::quickLogin() const {
    return settingsDlg_->quickLogin;
}

int CMaroketDlg::idleTimeout() const {
    return settingsDlg_->timeout;
}

void CMaroketDlg::showContent(const std::string& content) {
    CContentDlg dialog(this);
    dialog.SetText(content);
    runner_.run(dialog);
}

void CMaroketDlg::showMessage(const std::string& message) {
    runner_.notify(text(message));
}

void CMaroketDlg::onReset() {
    if (cycle_.stopBusyRetry()) {
        setStatus(kDisconnected);
        focusLoginField();
        writeControls();
        return;
    }
    readControls();
    server_.clear();
    password_.clear();
    account_.clear();
    savedRecipient_ = quickTo_;
    quickTo_.clear();
    writeControls();
    disconnect();
    setStatus(kDisconnected);
    focusLoginField();
}

void CMaroketDlg::onRestore() {
    readControls();
    if (!savedAccount_.empty() && !savedPassword_.empty()) {
        account_ = savedAccount_;
        password_ = savedPassword_;
    }
    if (!savedRecipient_.empty())
        quickTo_ = savedRecipient_;
    focusLoginField();
    writeControls();
}

std::vector<int> CMaroketDlg::selectedRows() const {
    std::vector<int> rows;
    for (QTreeWidgetItem* item : list_->selectedItems())
        rows.push_back(list_->indexOfTopLevelItem(item));
    std::sort(rows.begin(), rows.end());
    return rows;
}

void CMaroketDlg::onDelete() {
    cycle_.deleteRows(selectedRows());
}

void CMaroketDlg::onView() {
    cycle_.viewRows(selectedRows());
}

void CMaroketDlg::onListRightClick() {
    const int selected = static_cast<int>(list_->selectedItems().size());
    QMenu* menu = nullptr;
    if (selected >= 1) {
        const bool one = selected == 1;
        for (QAction* action : menu208_->actions()) {
            const int id = action->data().toInt();
            if (id == 1009 || id == 32783)
                action->setEnabled(one);
        }
        menu = menu208_;
    } else if (cycle_.isConnected()) {
        menu = menu214_; // with its items as the last "Markera" command left them
    }
    if (menu)
        menu->popup(QCursor::pos());
}

void CMaroketDlg::onMarkMenu() {
    for (QAction* action : menu214_->actions()) {
        const int id = action->data().toInt();
        action->setEnabled(id == 32795 || cycle_.isFullLoad());
    }
    menu214_->popup(QCursor::pos());
}
