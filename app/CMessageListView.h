#pragma once

#include <string>
#include <vector>

class QRect;
class QTreeWidget;
class QWidget;

// The main window's message list: one row per message, row r for message r + 1, in four columns
// (sender with the number in front, subject, date, size). Marked messages are selected rows.
class CMessageListView {
public:
    // Makes the list on client, at where (in pixels), with its columns and its look.
    CMessageListView(QWidget* client, const QRect& where);

    QTreeWidget* widget() const { return list_; }

    void clearRows();
    void appendRow(const std::string& first, const std::string& subject, const std::string& date,
                   const std::string& size);
    // The marked rows, ascending.
    std::vector<int> selectedRows() const;
    int selectedCount() const;

private:
    void setUpLook();

    QTreeWidget* list_ = nullptr;
};
