#pragma once

#include "dialogs/CMarkTextDlg.h"
#include "resources/WindowIds.h"

#include <functional>
#include <string>
#include <vector>

class IDialogRunner;
class MessageTable;
class QTreeWidget;
class QWidget;

// The seven marking commands on the main window's message list. A marked message is a selected
// row; row i holds message i + 1. The criterion commands ask through the window's dialog runner
// and only ever add to the selection; every command but a cancelled one ends by reporting the
// number of selected rows. Nothing is kept between commands.
class CMarkingCommands {
public:
    using StatusSink = std::function<void(const std::string& text)>;

    // The dialogs are made with dialogParent as their parent; status receives the count line.
    CMarkingCommands(QTreeWidget& list, const MessageTable& table, IDialogRunner& runner,
                     QWidget* dialogParent, StatusSink status);

    // Runs command id. headersLoaded is false after a quick login: the table then has no sizes
    // and no headers that belong to the rows shown, so size, sender and subject mark nothing.
    void run(CommandId id, bool headersLoaded);

    // "%d %s": the number of selected rows and "brev markerade.".
    void showMarkedCount();
    static std::string markedCountText(const QTreeWidget& list);
    // Which rows are selected, in one pass over the selection; a row counts when any of its
    // cells is.
    static std::vector<bool> selectedRows(const QTreeWidget& list);

private:
    void markByNumber();
    void markBySize(bool headersLoaded);
    void markByText(CMarkTextDlg::Criterion criterion, bool headersLoaded);
    void markAll();
    void markNone();
    void invert();
    // Adds the rows to the selection in one step; other rows and the current row stay as
    // they are.
    void markRows(const std::vector<int>& rows);
    int rowCount() const;

    QTreeWidget& list_;
    const MessageTable& table_;
    IDialogRunner& runner_;
    QWidget* dialogParent_;
    StatusSink status_;
};
