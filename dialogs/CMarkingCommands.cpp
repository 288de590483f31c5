#include "dialogs/CMarkingCommands.h"

#include "dialogs/CMarkCriteria.h"
#include "dialogs/CMarkNumberDlg.h"
#include "dialogs/CMarkSizeDlg.h"
#include "dialogs/DialogResult.h"
#include "dialogs/IDialogRunner.h"
#include "resources/CStringTable.h"
#include "resources/StringIds.h"

#include <QItemSelection>
#include <QItemSelectionModel>
#include <QTreeWidget>

#include <utility>

namespace {

// Runs rows (ascending) together into as few ranges as they allow: one select call for the
// whole command instead of one per row keeps large lists fast.
QItemSelection rangesOf(const QTreeWidget& list, const std::vector<int>& rows) {
    QItemSelection selection;
    const QAbstractItemModel* model = list.model();
    const int lastColumn = std::max(0, list.columnCount() - 1);
    std::size_t i = 0;
    while (i < rows.size()) {
        std::size_t j = i;
        while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1)
            ++j;
        selection.select(model->index(rows[i], 0), model->index(rows[j], lastColumn));
        i = j + 1;
    }
    return selection;
}

} // namespace

CMarkingCommands::CMarkingCommands(QTreeWidget& list, const MessageTable& table,
                                   IDialogRunner& runner, QWidget* dialogParent, StatusSink status)
    : list_(list), table_(table), runner_(runner), dialogParent_(dialogParent),
      status_(std::move(status)) {}

void CMarkingCommands::run(CommandId id, bool headersLoaded) {
    switch (id) {
    case CommandId::MarkByNumber:
        markByNumber();
        break;
    case CommandId::MarkBySize:
        markBySize(headersLoaded);
        break;
    case CommandId::MarkBySender:
        markByText(CMarkTextDlg::Criterion::Sender, headersLoaded);
        break;
    case CommandId::MarkBySubject:
        markByText(CMarkTextDlg::Criterion::Subject, headersLoaded);
        break;
    case CommandId::MarkAll:
        markAll();
        break;
    case CommandId::MarkNone:
        markNone();
        break;
    case CommandId::InvertMarks:
        invert();
        break;
    default:
        break;
    }
}

void CMarkingCommands::markByNumber() {
    CMarkNumberDlg dialog(dialogParent_);
    if (runner_.run(dialog) != DialogResult::ok)
        return;
    markRows(CMarkCriteria::rowsInRange(dialog.first(), dialog.last(), rowCount()));
    showMarkedCount();
}

void CMarkingCommands::markBySize(bool headersLoaded) {
    CMarkSizeDlg dialog(dialogParent_);
    if (runner_.run(dialog) != DialogResult::ok)
        return;
    if (headersLoaded)
        markRows(CMarkCriteria::rowsLargerThan(
            table_, CMarkCriteria::sizeThreshold(dialog.amount(), dialog.unit()), rowCount()));
    showMarkedCount();
}

void CMarkingCommands::markByText(CMarkTextDlg::Criterion criterion, bool headersLoaded) {
    CMarkTextDlg dialog(criterion, dialogParent_);
    if (runner_.run(dialog) != DialogResult::ok)
        return;
    if (headersLoaded)
        markRows(criterion == CMarkTextDlg::Criterion::Sender
                     ? CMarkCriteria::rowsWithSender(table_, dialog.text(), rowCount())
                     : CMarkCriteria::rowsWithSubject(table_, dialog.text(), rowCount()));
    showMarkedCount();
}

void CMarkingCommands::markAll() {
    std::vector<int> rows(static_cast<std::size_t>(rowCount()));
    for (int i = 0; i < rowCount(); ++i)
        rows[static_cast<std::size_t>(i)] = i;
    markRows(rows);
    showMarkedCount();
}

void CMarkingCommands::markNone() {
    list_.clearSelection();
    showMarkedCount();
}

void CMarkingCommands::invert() {
    const std::vector<bool> selected = selectedRows(list_);
    std::vector<int> flipped;
    for (int i = 0; i < rowCount(); ++i)
        if (!selected[static_cast<std::size_t>(i)])
            flipped.push_back(i);
    list_.selectionModel()->select(rangesOf(list_, flipped),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    showMarkedCount();
}

void CMarkingCommands::markRows(const std::vector<int>& rows) {
    if (!rows.empty())
        list_.selectionModel()->select(rangesOf(list_, rows),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

int CMarkingCommands::rowCount() const {
    return list_.topLevelItemCount();
}

void CMarkingCommands::showMarkedCount() {
    if (status_)
        status_(markedCountText(list_));
}

std::vector<bool> CMarkingCommands::selectedRows(const QTreeWidget& list) {
    std::vector<bool> selected(static_cast<std::size_t>(list.topLevelItemCount()), false);
    for (const QItemSelectionRange& range : list.selectionModel()->selection()) {
        if (range.parent().isValid())
            continue;
        for (int row = range.top(); row <= range.bottom(); ++row)
            if (row >= 0 && row < static_cast<int>(selected.size()))
                selected[static_cast<std::size_t>(row)] = true;
    }
    return selected;
}

std::string CMarkingCommands::markedCountText(const QTreeWidget& list) {
    int count = 0;
    for (const bool selected : selectedRows(list))
        count += selected ? 1 : 0;
    return std::to_string(count) + " " + CStringTable::loadCounted(StringId::MarkedCount, count);
}
