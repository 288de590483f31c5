#pragma once

#include <QDialog>

#include <functional>
#include <string>
#include <utility>

class QLabel;
class QLineEdit;
class QPushButton;

// "Inställningar": edits the nine settings in place. The main window keeps one object for its
// whole life and fills it once; each showing puts the current values into the edits, and only
// an OK on which every field passes takes them back. The dialog never touches the settings
// store. Text fields are ISO-8859-1 bytes, as in the rest of the core.
class CSettingsDlg : public QDialog {
    Q_OBJECT

public:
    // Where a refusal is shown; by default a modal warning box titled "Maroket". Tests put
    // their own here to see the text without a nested event loop.
    using WarningHook = std::function<void(const QString& text)>;

    explicit CSettingsDlg(QWidget* parent = nullptr);

    // Read and written by the main window directly.
    int quickLogin = 0;
    int timeout = 0; // idle minutes; OK insists on 1 to 10
    std::string dns;

    void SetPort(int port) { port_ = port; }
    int port() const { return port_; }
    void SetLines(int lines) { lines_ = lines; }
    int lines() const { return lines_; }
    void SetSmtpPort(int port) { smtpPort_ = port; }
    int smtpPort() const { return smtpPort_; }
    void SetHelo(const std::string& helo) { helo_ = helo; }
    const std::string& helo() const { return helo_; }
    void SetSmtpServer(const std::string& server) { smtpServer_ = server; }
    const std::string& smtpServer() const { return smtpServer_; }
    void SetAddress(const std::string& address) { address_ = address; }
    const std::string& address() const { return address_; }

    // Modal: DialogResult::ok (1) after an OK on which every field passed, DialogResult::cancel
    // (2) after Avbryt or Escape.
    int run();

    void setWarningHook(WarningHook hook) { warningHook_ = std::move(hook); }

    // OK and Enter: read every field, in the fixed order, or none.
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void putFields();
    bool readInteger(QLineEdit* edit, int& value);
    void refuse(QLineEdit* edit, const QString& text);

    int lines_ = 0;
    int port_ = 0;
    std::string helo_;
    std::string smtpServer_;
    int smtpPort_ = 0;
    std::string address_;

    WarningHook warningHook_;

    QLineEdit* quickLoginEdit_ = nullptr; // 1100
    QLineEdit* linesEdit_ = nullptr;      // 1036
    QLineEdit* timeoutEdit_ = nullptr;    // 1101, never shown
    QLineEdit* portEdit_ = nullptr;       // 1034
    QLineEdit* smtpPortEdit_ = nullptr;   // 1043
    QLineEdit* heloEdit_ = nullptr;       // 1041
    QLineEdit* smtpServerEdit_ = nullptr; // 1042
    QLineEdit* addressEdit_ = nullptr;    // 1092
    QLineEdit* dnsEdit_ = nullptr;        // 1110
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};
