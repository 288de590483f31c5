#pragma once

#include "resources/StringIds.h"

#include <string>

class ISendWindow;

// The main window's quick-send panel: "Testa" asks a mail server whether it takes an address as
// a recipient, or shows a domain's mail exchanger; "Skicka" sends the one line of "Text:". The
// window reads its fields from the edits and hands them in; every result goes to the status
// line, and the fields stay as they are.
class CQuickSendPanel {
public:
    // The window must outlive the panel.
    explicit CQuickSendPanel(ISendWindow& window) : window_(window) {}

    // to: an address (a text with "@"), or a domain.
    void testQuickAddress(const std::string& from, const std::string& to);
    void sendQuickText(const std::string& from, const std::string& to, const std::string& text);

private:
    void setStatus(StringId id);

    ISendWindow& window_;
};
