#pragma once

#include "app/CLoginFields.h"
#include "app/CMessageListView.h"
#include "resources/WindowIds.h"

#include <QCoreApplication>
#include <QRect>
#include <QString>

#include <functional>
#include <memory>

class CAnchoredArea;
class CStatusLine;
class QGroupBox;
class QToolBar;
class QAction;
class QDialog;
class QLabel;
class QMenu;
class QObject;
class QPushButton;
class QWidget;

// Builds the main window: its frame, the menu bar, the toolbar, the controls and the list's two
// pop-up menus. At its smallest the window holds the layout in dialog units, grown where a text
// needs more room; larger, the list takes the room. Every menu item, toolbar entry and button runs
// its command through the sink. The controls' object names are their ids as text.
class CMainWindowLayout {
    Q_DECLARE_TR_FUNCTIONS(CMainWindowLayout)

public:
    using CommandSink = std::function<void(CommandId)>;

    // focusWatcher receives the focus and double-click events the window acts on.
    CMainWindowLayout(QDialog& window, CommandSink run, QObject* focusWatcher);

    const LoginControls& loginControls() const { return login_; }
    CMessageListView& list() { return *list_; }
    const CMessageListView& list() const { return *list_; }
    CStatusLine* statusLine() const { return statusLine_; }
    QAction* connectAction() const { return connectAction_; }
    // "Nollställ", which also stops a command's wait.
    QPushButton* resetButton() const { return resetButton_; }
    // "Visa lösenord" beside the masked password.
    QWidget* showPasswordButton() const { return showPassword_; }
    QMenu* viewMenu() const { return viewMenu_; }
    QMenu* markMenu() const { return markMenu_; }
    // Shows "Anslut" pressed while connected, without asking for anything.
    void showConnected(bool connected);

    // The right button on the list: with marked rows the view menu ("Granska" and "Svara" only
    // for one row), without any while connected the marking menu as "Markera" left it.
    void popUpListMenu(int selected, bool connected);
    // "Markera": the marking menu, all but "Brevnummer" only after a full load.
    void popUpMarkMenu(bool fullLoad);

private:
    void buildFrame();
    void buildMenuBar();
    void buildToolBar();
    void buildLoginGroup();
    // The button beside the password that shows it while pressed in.
    void buildShowPassword(QRect where);
    void buildListGroup();
    void buildQuickSend();
    void buildPopupMenus();
    void finishLayout();
    QAction* commandAction(const QString& text, CommandId id);
    QAction* connectToggle(const QString& text);
    QLineEdit* addEdit(ControlId id, const QString& label, QRect where);
    QLabel* addLabel(const QString& text, QRect where, Qt::Alignment align = Qt::AlignLeft);
    QPushButton* addButton(CommandId id, const QString& text, QRect where);
    QGroupBox* addGroup(const QString& title, QRect where);

    QDialog& window_;
    CommandSink run_;
    QObject* focusWatcher_;
    CAnchoredArea* client_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QGroupBox* listGroup_ = nullptr;
    LoginControls login_;
    std::unique_ptr<CMessageListView> list_;
    CStatusLine* statusLine_ = nullptr;
    QAction* connectAction_ = nullptr;
    QPushButton* resetButton_ = nullptr;
    QWidget* showPassword_ = nullptr;
    QMenu* viewMenu_ = nullptr;
    QMenu* markMenu_ = nullptr;
};
