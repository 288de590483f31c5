#pragma once

#include <QDialog>

#include <string>

class QCheckBox;
class QLineEdit;

// "Forward": where to send the marked messages, and whether to delete them from the server
// afterwards. Run it, then read both fields when run() gave DialogResult::ok.
class CForwardDlg : public QDialog {
    Q_OBJECT

public:
    explicit CForwardDlg(QWidget* parent = nullptr);

    // Runs through DialogResult::run: 1 after OK or Enter, 2 after "Avbryt" or Escape.

    // As typed, empty included; UTF-8.
    const std::string& address() const { return address_; }
    bool deleteAfterForwarding() const { return deleteAfter_; }

    void accept() override;

private:
    std::string address_;
    bool deleteAfter_ = false;
    QLineEdit* addressEdit_ = nullptr;
    QCheckBox* deleteCheck_ = nullptr;
};
