#include "app/CMainWindowLayout.h"

#include "app/CAnchoredArea.h"
#include "app/CStatusLine.h"
#include "dialogs/CAppIcon.h"
#include "dialogs/CDialogUnits.h"
#include "dialogs/CLayoutFit.h"
#include "dialogs/IdText.h"
#include "resources/MaroketVersion.h"

#include <QAction>
#include <QCheckBox>
#include <QCursor>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <utility>

namespace {

constexpr int kToolBarWidth = 628;
constexpr int kToolBarHeight = 40;

} // namespace

CMainWindowLayout::CMainWindowLayout(QDialog& window, CommandSink run, QObject* focusWatcher)
    : window_(window), run_(std::move(run)), focusWatcher_(focusWatcher) {
    buildFrame();
    buildMenuBar();
    buildToolBar();
    buildLoginGroup();
    buildListGroup();
    buildQuickSend();
    buildPopupMenus();
    finishLayout();
}

void CMainWindowLayout::buildFrame() {
    window_.setWindowTitle(QStringLiteral("Maroket"));
    window_.setWindowIcon(CAppIcon::icon());
    window_.setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                           Qt::WindowCloseButtonHint);
    window_.setFont(CDialogUnits::dialogFont());

    // The client area of 426 x 254 dialog units below the menu bar, grown where a text needs
    // it, is the smallest the window gets; finishLayout lets it grow from there.
    auto* frame = new QVBoxLayout(&window_);
    frame->setContentsMargins(0, 0, 0, 0);
    client_ = new CAnchoredArea(&window_);
    const CDialogUnits du(window_.font());
    client_->setFixedSize(du.x(426), du.y(254));
    frame->addWidget(client_);
}

// Every control gets the room its text needs; the toolbar spans the window, wider (and the
// window with it) when its entries need more, and the controls below it move down when its
// entries are taller than the room above them. Larger than that, the list takes the room.
void CMainWindowLayout::finishLayout() {
    CLayoutFit::fit(*client_);
    const QSize bar = toolBar_->sizeHint();
    const int barHeight = std::max(kToolBarHeight, bar.height());
    int top = client_->height();
    for (QWidget* control : client_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (control != toolBar_ && !control->isHidden())
            top = std::min(top, control->y());
    const int down = std::max(0, barHeight - top);
    for (QWidget* control : client_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (control != toolBar_)
            control->move(control->x(), control->y() + down);
    const int width = std::max({client_->width(), bar.width(), kToolBarWidth});
    client_->setFixedSize(width, client_->height() + down);
    toolBar_->setGeometry(0, 0, width, barHeight);

    using A = CAnchoredArea;
    const int listBottom = listGroup_->geometry().bottom();
    for (QWidget* control : client_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        int anchors = control->y() > listBottom ? A::MoveDown : A::Stay;
        if (control == toolBar_)
            anchors = A::GrowWidth;
        else if (control == listGroup_ || control == list_->widget())
            anchors = A::GrowWidth | A::GrowHeight;
        else if (control == statusLine_)
            anchors |= A::GrowWidth;
        else if (control->objectName() == idText(ControlId::VersionLabel))
            anchors |= A::MoveRight;
        client_->anchor(control, anchors);
    }
    client_->settle();
}

// A menu item or toolbar entry runs its command from the event loop, not inside whoever
// triggered it: a screen reader that activates an entry gets its answer at once, not after the
// command and the dialogs it opens. For a click or a key nothing changes.
QAction* CMainWindowLayout::commandAction(const QString& label, CommandId id) {
    auto* action = new QAction(label, &window_);
    action->setData(idNumber(id));
    QObject::connect(
        action, &QAction::triggered, &window_, [this, id] { run_(id); }, Qt::QueuedConnection);
    return action;
}

// "Anslut" shows the state, not the last click: whatever flips it (a click, a key, the
// toolbar's overflow menu, an accessibility action, toggle()) asks for the command and flips
// it back; the command shows the outcome through showConnected.
QAction* CMainWindowLayout::connectToggle(const QString& label) {
    auto* action = new QAction(label, &window_);
    action->setData(idNumber(CommandId::Connect));
    action->setCheckable(true);
    QObject::connect(action, &QAction::toggled, &window_, [this, action](bool checked) {
        const QSignalBlocker quiet(action);
        action->setChecked(!checked);
        QMetaObject::invokeMethod(
            &window_, [this] { run_(CommandId::Connect); }, Qt::QueuedConnection);
    });
    return action;
}

void CMainWindowLayout::showConnected(bool connected) {
    const QSignalBlocker quiet(connectAction_);
    connectAction_->setChecked(connected);
}

void CMainWindowLayout::buildMenuBar() {
    auto* bar = new QMenuBar(&window_);
    bar->setObjectName(idText(ControlId::MenuBar));
    window_.layout()->setMenuBar(bar);
    QMenu* file = bar->addMenu(tr("&Arkiv"));
    file->addAction(commandAction(tr("A&vsluta"), CommandId::Exit));
    QMenu* edit = bar->addMenu(tr("&Redigera"));
    QMenu* mark = edit->addMenu(tr("&Markera"));
    mark->addAction(commandAction(tr("Brevnummer..."), CommandId::MarkByNumber));
    mark->addAction(commandAction(tr("Storlek..."), CommandId::MarkBySize));
    mark->addAction(commandAction(tr("Från..."), CommandId::MarkBySender));
    mark->addAction(commandAction(tr("Ärenderad..."), CommandId::MarkBySubject));
    edit->addSeparator();
    edit->addAction(commandAction(tr("&Inställningar..."), CommandId::Settings));
    QMenu* message = bar->addMenu(tr("&Meddelande"));
    message->addAction(commandAction(tr("Skriv &nytt..."), CommandId::NewMessage));
    message->addAction(commandAction(tr("&Svara..."), CommandId::Reply));
    message->addAction(commandAction(tr("&Granska..."), CommandId::View));
    message->addSeparator();
    message->addAction(commandAction(tr("Ra&dera..."), CommandId::Delete));
    message->addAction(commandAction(tr("&Forward..."), CommandId::Forward));
    QMenu* help = bar->addMenu(tr("&Hjälp"));
    help->addAction(commandAction(tr("&Om Maroket..."), CommandId::About));
    // Screen readers name the bar, and each menu by its title without the letter's mark.
    bar->setAccessibleName(tr("Menyrad"));
    for (QMenu* menu : bar->findChildren<QMenu*>())
        menu->setAccessibleName(menu->title().remove(QLatin1Char('&')));
}

void CMainWindowLayout::buildToolBar() {
    auto* toolBar = toolBar_ = new QToolBar(client_);
    toolBar->setObjectName(idText(ControlId::ToolBar));
    toolBar->setAccessibleName(tr("Verktygsfält"));
    toolBar->setGeometry(0, 0, kToolBarWidth, kToolBarHeight);
    toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolBar->setIconSize(QSize(16, 16));
    toolBar->setMovable(false);
    toolBar->setFloatable(false);
    struct Entry {
        CommandId command;
        ImageId image;
        const char* label; // nullptr for a separator
    };
    using C = CommandId;
    using I = ImageId;
    static const Entry entries[] = {
        {C::Connect, I::Connect, QT_TRANSLATE_NOOP("CMainWindowLayout", "Anslut")},
        {C{}, I{}, nullptr},
        {C::View, I::View, QT_TRANSLATE_NOOP("CMainWindowLayout", "Granska")},
        {C::Delete, I::Delete, QT_TRANSLATE_NOOP("CMainWindowLayout", "Radera")},
        {C{}, I{}, nullptr},
        {C::NewMessage, I::NewMessage, QT_TRANSLATE_NOOP("CMainWindowLayout", "Skriv")},
        {C::Reply, I::Reply, QT_TRANSLATE_NOOP("CMainWindowLayout", "Svara")},
        {C::Forward, I::Forward, QT_TRANSLATE_NOOP("CMainWindowLayout", "Forward")},
        {C{}, I{}, nullptr},
        {C::MarkMenu, I::MarkMenu, QT_TRANSLATE_NOOP("CMainWindowLayout", "Markera")},
        {C::MarkAll, I::MarkAll, QT_TRANSLATE_NOOP("CMainWindowLayout", "Allt")},
        {C::MarkNone, I::MarkNone, QT_TRANSLATE_NOOP("CMainWindowLayout", "Inget")},
        {C::InvertMarks, I::InvertMarks, QT_TRANSLATE_NOOP("CMainWindowLayout", "Inv.")},
        {C{}, I{}, nullptr},
        {C::Settings, I::Settings, QT_TRANSLATE_NOOP("CMainWindowLayout", "Inställn.")},
        {C{}, I{}, nullptr},
        {C::About, I::About, QT_TRANSLATE_NOOP("CMainWindowLayout", "Om")},
    };
    for (const Entry& e : entries) {
        if (!e.label) {
            toolBar->addSeparator();
            continue;
        }
        const QString label = tr(e.label);
        QAction* action = e.command == CommandId::Connect ? connectToggle(label)
                                                          : commandAction(label, e.command);
        action->setIcon(QIcon(QStringLiteral(":/toolbar/%1.svg").arg(idNumber(e.image))));
        action->setToolTip(action->text());
        toolBar->addAction(action);
        if (e.command == CommandId::Connect)
            connectAction_ = action;
    }
}

QLineEdit* CMainWindowLayout::addEdit(ControlId id, const QString& label, QRect where) {
    auto* edit = new QLineEdit(client_);
    edit->setObjectName(idText(id));
    edit->setAccessibleName(label);
    edit->setGeometry(where);
    return edit;
}

QLabel* CMainWindowLayout::addLabel(const QString& text, QRect where, Qt::Alignment align) {
    auto* label = new QLabel(text, client_);
    label->setGeometry(where);
    label->setAlignment(align | Qt::AlignVCenter);
    return label;
}

QPushButton* CMainWindowLayout::addButton(CommandId id, const QString& text, QRect where) {
    auto* button = new QPushButton(text, client_);
    button->setObjectName(idText(id));
    button->setAutoDefault(false);
    button->setGeometry(where);
    QObject::connect(button, &QPushButton::clicked, &window_, [this, id] { run_(id); });
    return button;
}

QGroupBox* CMainWindowLayout::addGroup(const QString& title, QRect where) {
    auto* group = new QGroupBox(title, client_);
    group->setGeometry(where);
    group->lower();
    return group;
}

void CMainWindowLayout::buildLoginGroup() {
    const CDialogUnits du(window_.font());
    addGroup(tr("Inloggningsuppgifter"), du.rect(7, 26, 342, 36));
    addLabel(tr("Mailserver"), du.rect(13, 41, 36, 10), Qt::AlignRight);
    login_.server = addEdit(ControlId::ServerEdit, tr("Mailserver"), du.rect(52, 40, 84, 12));
    addLabel(tr("Konto-ID"), du.rect(140, 41, 32, 10), Qt::AlignRight);
    login_.account = addEdit(ControlId::AccountEdit, tr("Konto-ID"), du.rect(175, 40, 72, 12));
    addLabel(tr("Lösenord"), du.rect(250, 41, 32, 10), Qt::AlignRight);
    // Masked, so that it shows neither in screen shares and pictures nor to a screen reader;
    // the button beside it shows it for checking what was typed.
    login_.password = addEdit(ControlId::PasswordEdit, tr("Lösenord"), du.rect(285, 40, 46, 12));
    login_.password->setEchoMode(QLineEdit::Password);
    buildShowPassword(du.rect(332, 40, 13, 12));
    login_.tele2 = new QCheckBox(QStringLiteral("Tele2"), client_);
    login_.tele2->setObjectName(idText(ControlId::Tele2Box));
    login_.tele2->setGeometry(du.rect(300, 28, 40, 10));
    login_.tele2->hide(); // created hidden; nothing shows it
    QObject::connect(login_.tele2, &QCheckBox::clicked, &window_,
                     [this] { run_(CommandId::Tele2); });
    resetButton_ = addButton(CommandId::Reset, tr("Nollställ"), du.rect(358, 29, 60, 14));
    addButton(CommandId::Restore, tr("Återställ"), du.rect(358, 46, 60, 14));
}

void CMainWindowLayout::buildShowPassword(QRect where) {
    auto* show = new QToolButton(client_);
    show->setObjectName(QStringLiteral("ShowPassword"));
    const QString name = tr("Visa lösenord");
    show->setAccessibleName(name);
    show->setToolTip(name);
    show->setIcon(QIcon(QStringLiteral(":/icons/show-password.svg")));
    show->setCheckable(true);
    // Reached with Tab right after the password, and pressed with Space.
    show->setFocusPolicy(Qt::StrongFocus);
    show->setGeometry(where);
    QLineEdit* password = login_.password;
    QObject::connect(show, &QToolButton::toggled, password, [password](bool shown) {
        password->setEchoMode(shown ? QLineEdit::Normal : QLineEdit::Password);
    });
    showPassword_ = show;
}

void CMainWindowLayout::buildListGroup() {
    const CDialogUnits du(window_.font());
    listGroup_ = addGroup(tr("Kontoinnehåll"), du.rect(7, 64, 412, 132));
    list_ = std::make_unique<CMessageListView>(client_, du.rect(13, 75, 400, 115));
    // A double click anywhere in the list, on a row or not, views the first selected message.
    list_->widget()->viewport()->installEventFilter(focusWatcher_);
}

void CMainWindowLayout::buildQuickSend() {
    const CDialogUnits du(window_.font());
    addLabel(tr("Från:"), du.rect(7, 201, 22, 10));
    login_.quickFrom = addEdit(ControlId::QuickFromEdit, tr("Från:"), du.rect(30, 200, 100, 12));
    addLabel(tr("Till/Domän:"), du.rect(136, 201, 40, 10), Qt::AlignRight);
    login_.quickTo = addEdit(ControlId::QuickToEdit, tr("Till/Domän:"), du.rect(178, 200, 112, 12));
    addButton(CommandId::TestAddress, tr("Testa"), du.rect(296, 199, 50, 14));
    addLabel(tr("Text:"), du.rect(7, 217, 22, 10));
    login_.quickText = addEdit(ControlId::QuickTextEdit, tr("Text:"), du.rect(30, 216, 260, 12));
    addButton(CommandId::QuickSend, tr("Skicka"), du.rect(296, 215, 50, 14));

    // The hidden default button: Enter comes to the window's Enter command.
    addButton(CommandId::Enter, tr("Anslut"), du.rect(358, 199, 50, 14))->hide();

    QLabel* version = addLabel(QString::fromLatin1(kMaroketVersionText), du.rect(358, 218, 61, 8),
                               Qt::AlignRight);
    version->setObjectName(idText(ControlId::VersionLabel));
    statusLine_ = new CStatusLine(client_);
    statusLine_->setGeometry(du.rect(7, 236, 412, 12));
    statusLine_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    statusLine_->setObjectName(idText(ControlId::StatusLine));
    statusLine_->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    for (QLineEdit* edit : {login_.account, login_.password, login_.quickTo})
        edit->installEventFilter(focusWatcher_);
    QWidget::setTabOrder(login_.server, login_.account);
    QWidget::setTabOrder(login_.account, login_.password);
    QWidget::setTabOrder(login_.password, showPassword_);
}

void CMainWindowLayout::buildPopupMenus() {
    viewMenu_ = new QMenu(&window_);
    viewMenu_->setObjectName(idText(ControlId::ViewMenu));
    viewMenu_->setAccessibleName(tr("Meddelande"));
    viewMenu_->addAction(commandAction(tr("Radera..."), CommandId::Delete));
    viewMenu_->addAction(commandAction(tr("Forward..."), CommandId::Forward));
    viewMenu_->addSeparator();
    viewMenu_->addAction(commandAction(tr("Granska..."), CommandId::View));
    viewMenu_->addAction(commandAction(tr("Svara..."), CommandId::Reply));
    markMenu_ = new QMenu(&window_);
    markMenu_->setObjectName(idText(ControlId::MarkMenu));
    markMenu_->setAccessibleName(tr("Markera"));
    markMenu_->addAction(commandAction(tr("Markera nummer..."), CommandId::MarkByNumber));
    markMenu_->addAction(commandAction(tr("Markera storlek..."), CommandId::MarkBySize));
    markMenu_->addAction(commandAction(tr("Markera från..."), CommandId::MarkBySender));
    markMenu_->addAction(commandAction(tr("Markera ärende..."), CommandId::MarkBySubject));
}

void CMainWindowLayout::popUpListMenu(int selected, bool connected) {
    QMenu* menu = nullptr;
    if (selected >= 1) {
        for (QAction* action : viewMenu_->actions()) {
            const int id = action->data().toInt();
            if (id == idNumber(CommandId::View) || id == idNumber(CommandId::Reply))
                action->setEnabled(selected == 1);
        }
        menu = viewMenu_;
    } else if (connected) {
        menu = markMenu_; // with its items as the last "Markera" command left them
    }
    if (menu)
        menu->popup(QCursor::pos());
}

void CMainWindowLayout::popUpMarkMenu(bool fullLoad) {
    for (QAction* action : markMenu_->actions())
        action->setEnabled(action->data().toInt() == idNumber(CommandId::MarkByNumber) || fullLoad);
    markMenu_->popup(QCursor::pos());
}
