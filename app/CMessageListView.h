#pragma once

#include <QList>
#include <QObject>

#include <array>
#include <string>
#include <vector>

class QEvent;
class QRect;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

// The main window's message list: one row per message, row r for message r + 1, in four columns
// (sender with the number in front, subject, date, size). Marked messages are selected rows.
//
// The columns have the layout's widths (240, 140, 133 and 64 pixels of its 8-point dialog font)
// in dialog units, so they keep their share of the list at any font, as the windows do. The sizes
// stand right-aligned in the last column, which always has room for the widest size text and takes
// whatever room the list has beyond the other columns. A column the user drags keeps that width;
// the others follow the font.
class CMessageListView : public QObject {
public:
    static constexpr int kColumns = 4;
    static constexpr int kSizeColumn = 3;

    // Makes the list on client, at where (in pixels), with its columns and its look.
    CMessageListView(QWidget* client, const QRect& where);
    ~CMessageListView() override;

    // The list with every row appended so far.
    QTreeWidget* widget() const {
        flushRows();
        return list_;
    }

    void clearRows();
    // The rows come in batches, each before the window next paints and at most kBatch long:
    // told of a row at a time, the list would lay itself out again for every one. A load ends
    // with flushRows(), and whatever reads the rows here flushes them first.
    void appendRow(const std::string& first, const std::string& subject, const std::string& date,
                   const std::string& size);
    void flushRows() const;
    // The marked rows, ascending.
    std::vector<int> selectedRows() const;
    int selectedCount() const;

    // The width the user gave a column by dragging it, 0 when the column follows the font. The
    // size column always follows its texts and the room.
    int draggedWidth(int column) const;
    // A width the user dragged in an earlier run.
    void setDraggedWidth(int column, int width);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setUpLook();
    void setUpColumns();
    // The least width of the size column: its widest text and title, whole.
    int sizeColumnNeed() const;
    // The size column: its need, or all the room the other columns leave, whichever is more.
    void fillSizeColumn();
    void onSectionResized(int column);

    static constexpr int kBatch = 512;

    QTreeWidget* list_ = nullptr;
    mutable QList<QTreeWidgetItem*> pending_; // rows not yet in the list
    std::array<int, kColumns> fontWidths_{};  // the layout's widths at the list's font
    std::array<bool, kColumns> dragged_{};
    bool settingWidths_ = false;
};
