#pragma once

#include "app/AppSettings.h"
#include "app/CIspHostTable.h"
#include "pop3/CPop3Session.h"
#include "send/CSmtpSession.h"

#include <QDialog>

#include <memory>
#include <string>

class CSettingsDlg;
class IDialogRunner;
class ISettingsStore;
class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QToolBar;
class QTreeWidget;

// The main window: login fields, the message list, the quick-send panel and the status line,
// with the menu and toolbar whose commands it routes by their numeric ids.
class CMaroketDlg : public QDialog {
    Q_OBJECT

public:
    // The store is read once here and written after each confirmed settings dialog; every modal
    // interaction goes through the runner. Both must outlive the window.
    CMaroketDlg(ISettingsStore& store, IDialogRunner& runner, QWidget* parent = nullptr);
    ~CMaroketDlg() override;

    // Runs the command with this id as the menu, toolbar or a button would.
    void onCommand(int id);

    void setStatus(const std::string& text);
    void setStatus(int stringId);
    std::string statusText() const;
    // The focus to the server field, or the account field while "Tele2" is checked, with its text
    // selected.
    void focusLoginField();

    const AppSettings& settings() const { return settings_; }
    CPop3Session& pop3() { return pop3_; }
    CSmtpSession& smtp() { return smtp_; }
    CSettingsDlg& settingsDlg() { return *settingsDlg_; }
    bool isConnected() const { return connected_; }
    bool enterConnects() const { return enterConnects_; }
    QTreeWidget* list() const { return list_; }
    QMenu* viewMenu() const { return menu208_; }
    QMenu* markMenu() const { return menu214_; }

signals:
    // Each command as it starts, whichever control sent it.
    void commandRun(int id);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildMenuBar();
    void buildToolBar(QWidget* client);
    void buildControls(QWidget* client);
    void buildPopupMenus();
    QAction* commandAction(const QString& text, int id);
    QLineEdit* addEdit(QWidget* client, int id, const QString& label, QRect where);

    // The bound fields and their controls.
    void readControls();
    void writeControls();

    void handOutSettings();
    void onSettings();
    void onAbout();
    void onTele2();
    void onEnter();

    ISettingsStore& store_;
    IDialogRunner& runner_;
    AppSettings settings_;
    std::unique_ptr<CSettingsDlg> settingsDlg_;
    CPop3Session pop3_;
    CSmtpSession smtp_;
    CIspHostTable ispHostTable_;

    std::string server_, account_, password_;
    bool tele2_ = false;
    std::string quickFrom_, quickText_, quickTo_;
    bool connected_ = false;
    bool enterConnects_ = true;

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
