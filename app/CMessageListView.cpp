#include "app/CMessageListView.h"

#include "dialogs/CUiText.h"
#include "dialogs/IdText.h"
#include "resources/CStringTable.h"
#include "resources/WindowIds.h"

#include <QHeaderView>
#include <QTreeWidget>

#include <algorithm>

namespace {

QString text(const std::string& bytes) {
    return CUiText::toQString(bytes);
}

QString title(StringId id) {
    return text(CStringTable::load(id));
}

} // namespace

CMessageListView::CMessageListView(QWidget* client, const QRect& where)
    : list_(new QTreeWidget(client)) {
    list_->setObjectName(idText(ControlId::MessageList));
    list_->setAccessibleName(QStringLiteral("Kontoinnehåll"));
    list_->setGeometry(where);
    list_->setRootIsDecorated(false);
    list_->setItemsExpandable(false);
    list_->setIndentation(0);
    list_->setUniformRowHeights(true);
    list_->setSortingEnabled(false);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setAllColumnsShowFocus(true);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    setUpLook();
}

void CMessageListView::setUpLook() {
    // The selection stays as visible without the focus as with it.
    QPalette palette = list_->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    list_->setPalette(palette);
    list_->setUpdatesEnabled(false);
    list_->setHeaderLabels({title(StringId::ColumnFrom), title(StringId::ColumnSubject),
                            title(StringId::ColumnDate), title(StringId::ColumnSize)});
    const int widths[] = {240, 140, 133, 64};
    for (int c = 0; c < 4; ++c)
        list_->setColumnWidth(c, widths[c]);
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionsMovable(false);
    list_->setUpdatesEnabled(true);
}

void CMessageListView::clearRows() {
    list_->clear();
}

void CMessageListView::appendRow(const std::string& first, const std::string& subject,
                                 const std::string& date, const std::string& size) {
    auto* row = new QTreeWidgetItem(list_);
    row->setText(0, text(first));
    // An empty column costs nothing when it is left unset, and a quick load's rows are empty
    // but for the number: a third of their memory.
    const std::string* rest[] = {&subject, &date, &size};
    for (int column = 1; column <= 3; ++column)
        if (!rest[column - 1]->empty())
            row->setText(column, text(*rest[column - 1]));
}

std::vector<int> CMessageListView::selectedRows() const {
    std::vector<int> rows;
    for (QTreeWidgetItem* item : list_->selectedItems())
        rows.push_back(list_->indexOfTopLevelItem(item));
    std::sort(rows.begin(), rows.end());
    return rows;
}

int CMessageListView::selectedCount() const {
    return static_cast<int>(list_->selectedItems().size());
}
