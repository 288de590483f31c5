#include "app/CMessageListView.h"

#include "dialogs/CDialogUnits.h"
#include "dialogs/CMarkingCommands.h"
#include "dialogs/CUiText.h"
#include "dialogs/IdText.h"
#include "platform/CWaitHook.h"
#include "resources/CStringTable.h"
#include "resources/WindowIds.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QStyle>
#include <QTreeWidget>

#include <algorithm>

namespace {

QString text(const std::string& bytes) {
    return CUiText::toQString(bytes);
}

QString title(StringId id) {
    return text(CStringTable::load(id));
}

// The layout's column widths in pixels of its 8-point dialog font, whose average character is
// kReferenceCharWidth pixels wide (a dialog unit across is a quarter of it); the size column
// grows to its texts.
constexpr int kWidthsAt8Pt[] = {240, 140, 133, 64};
constexpr int kReferenceCharWidth = 6;

// Size texts as wide as any that formatSize gives ("1023.99 kB" and the like are no wider).
const char* const kWidestSizes[] = {"1024 bytes", "1024.00 kB", "9999.99 MB"};

} // namespace

CMessageListView::CMessageListView(QWidget* client, const QRect& where)
    : list_(new QTreeWidget(client)) {
    list_->setObjectName(idText(ControlId::MessageList));
    list_->setAccessibleName(QCoreApplication::translate("CMessageListView", "Kontoinnehåll"));
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
    setUpColumns();
}

void CMessageListView::setUpLook() {
    // The selection stays as visible without the focus as with it.
    QPalette palette = list_->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    list_->setPalette(palette);
    list_->setHeaderLabels({title(StringId::ColumnFrom), title(StringId::ColumnSubject),
                            title(StringId::ColumnDate), title(StringId::ColumnSize)});
    list_->headerItem()->setTextAlignment(kSizeColumn, Qt::AlignRight | Qt::AlignVCenter);
}

void CMessageListView::setUpColumns() {
    QHeaderView* header = list_->header();
    header->setStretchLastSection(false);
    header->setSectionsMovable(false);
    // The size column is laid out here, never dragged.
    header->setSectionResizeMode(kSizeColumn, QHeaderView::Fixed);
    // In dialog units, as the windows are laid out: the same share of the list at any font.
    const CDialogUnits units(list_->font());
    for (int c = 0; c < kColumns; ++c)
        fontWidths_[static_cast<std::size_t>(c)] = std::max(
            1, (units.x(4 * kWidthsAt8Pt[c]) + kReferenceCharWidth / 2) / kReferenceCharWidth);
    settingWidths_ = true;
    for (int c = 0; c < kSizeColumn; ++c)
        list_->setColumnWidth(c, fontWidths_[static_cast<std::size_t>(c)]);
    settingWidths_ = false;
    fillSizeColumn();
    QObject::connect(header, &QHeaderView::sectionResized, this,
                     [this](int column) { onSectionResized(column); });
    list_->viewport()->installEventFilter(this);
}

int CMessageListView::sizeColumnNeed() const {
    const QFontMetrics metrics(list_->font());
    int text = metrics.horizontalAdvance(list_->headerItem()->text(kSizeColumn));
    for (const char* size : kWidestSizes)
        text = std::max(text, metrics.horizontalAdvance(QString::fromLatin1(size)));
    // The item view keeps this much on each side of a cell's text.
    const int margin =
        list_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list_) + 1;
    return std::max(text + 2 * margin + 2, fontWidths_[kSizeColumn]);
}

void CMessageListView::fillSizeColumn() {
    int others = 0;
    for (int c = 0; c < kSizeColumn; ++c)
        others += list_->columnWidth(c);
    const int room = list_->viewport()->width() - others;
    settingWidths_ = true;
    list_->setColumnWidth(kSizeColumn, std::max(sizeColumnNeed(), room));
    settingWidths_ = false;
}

void CMessageListView::onSectionResized(int column) {
    if (settingWidths_ || column == kSizeColumn)
        return;
    dragged_[static_cast<std::size_t>(column)] = true;
    fillSizeColumn();
}

bool CMessageListView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_->viewport() && event->type() == QEvent::Resize)
        fillSizeColumn();
    return QObject::eventFilter(watched, event);
}

int CMessageListView::draggedWidth(int column) const {
    if (column < 0 || column >= kSizeColumn || !dragged_[static_cast<std::size_t>(column)])
        return 0;
    return list_->columnWidth(column);
}

void CMessageListView::setDraggedWidth(int column, int width) {
    if (column < 0 || column >= kSizeColumn || width <= 0)
        return;
    list_->setColumnWidth(column, width); // marked as dragged on the way
}

CMessageListView::~CMessageListView() {
    qDeleteAll(pending_);
}

void CMessageListView::clearRows() {
    qDeleteAll(pending_);
    pending_.clear();
    list_->clear();
}

namespace {

// A row's item, not yet in a list: its texts cost no signal to a view.
QTreeWidgetItem* itemOf(const std::string& first, const std::string& subject,
                        const std::string& date, const std::string& size) {
    auto* row = new QTreeWidgetItem;
    row->setText(0, text(first));
    // An empty column costs nothing when it is left unset, and a quick load's rows are empty
    // but for the number: a third of their memory.
    const std::string* rest[] = {&subject, &date, &size};
    for (int column = 1; column <= 3; ++column)
        if (!rest[column - 1]->empty())
            row->setText(column, text(*rest[column - 1]));
    row->setTextAlignment(CMessageListView::kSizeColumn, Qt::AlignRight | Qt::AlignVCenter);
    return row;
}

} // namespace

void CMessageListView::appendRow(const std::string& first, const std::string& subject,
                                 const std::string& date, const std::string& size) {
    pending_.append(itemOf(first, subject, date, size));
    if (pending_.size() >= kBatch || CWaitHook::msUntilDue() == 0)
        flushRows();
}

void CMessageListView::flushRows() const {
    if (pending_.isEmpty())
        return;
    list_->addTopLevelItems(pending_);
    pending_.clear();
}

std::vector<int> CMessageListView::selectedRows() const {
    flushRows();
    const std::vector<bool> marked = CMarkingCommands::selectedRows(*list_);
    std::vector<int> rows;
    for (std::size_t row = 0; row < marked.size(); ++row)
        if (marked[row])
            rows.push_back(static_cast<int>(row));
    return rows;
}

int CMessageListView::selectedCount() const {
    return static_cast<int>(selectedRows().size());
}
