#pragma once

#include "app/IMailboxWindow.h"

#include <string>
#include <vector>

// The main window as the mailbox cycle sees it, in plain values: the rows, the status line,
// the connect toggle; it answers the delete question as told.
class CScriptedMailboxWindow : public IMailboxWindow {
public:
    struct Row {
        std::string first, subject, date, size;
    };

    LoginFields takeLoginFields() override {
        return {login.server, login.account, login.password.copy()};
    }
    void writeControls() override {}
    void focusLoginField() override {}
    void setStatus(const std::string& text) override { status = text; }
    void showConnected(bool connected) override { pressed = connected; }
    void clearRows() override { rows.clear(); }
    void appendRow(const std::string& first, const std::string& subject, const std::string& date,
                   const std::string& size) override {
        rows.push_back({first, subject, date, size});
    }
    void startWindowTimer(TimerId, int) override {}
    void stopWindowTimer(TimerId) override {}
    bool askYesNo(const std::string&) override { return answerYes; }
    int quickLogin() const override { return quick; }
    int idleTimeout() const override { return 5; }

    LoginFields login{"pop.example", "anna", CSecret("hemligt")};
    std::vector<Row> rows;
    std::string status;
    bool pressed = false;
    bool answerYes = true;
    int quick = 1000;
};
