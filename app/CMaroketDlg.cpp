#include "app/CMaroketDlg.h"

#include "app/CUiText.h"
#include "app/IDialogRunner.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CAppIcon.h"
#include "dialogs/CDialogUnits.h"
#include "dialogs/CSettingsDlg.h"
#include "platform/ISettingsStore.h"
#include "resources/CStringTable.h"

#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kDisconnected = 604;
constexpr int kToolBarWidth = 628;
constexpr int kToolBarHeight = 40;

QString text(const std::string& bytes) {
    return CUiText::toQString(bytes);
}

} // namespace

CMaroketDlg::CMaroketDlg(ISettingsStore& store, IDialogRunner& runner, QWidget* parent)
    : QDialog(parent), store_(store), runner_(runner),
      settingsDlg_(std::make_unique<CSettingsDlg>(this)) {
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

    auto* version = label(QStringLiteral("Maroket 1.04"), du.rect(358, 218, 61, 8), Qt::AlignRight);
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
    statusLine_->setText(text(status));
}

void CMaroketDlg::setStatus(int stringId) {
    setStatus(CStringTable::load(stringId));
}

std::string CMaroketDlg::statusText() const {
    return CUiText::toBytes(statusLine_->text());
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
    smtp_.setServer(settings_.smtpServer);
    smtp_.setPort(settings_.smtpPort);
    smtp_.setHelo(settings_.helo);
    smtp_.setDnsServer(settings_.dns);
}

void CMaroketDlg::onCommand(int id) {
    emit commandRun(id);
    switch (id) {
    case 1:
        reject(); // the program ends; the POP3 connection closes without QUIT
        break;
    case 1007:
        onEnter();
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
    default:
        break;
    }
}

void CMaroketDlg::onEnter() {
    onCommand(enterConnects_ ? 105 : 1104);
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
