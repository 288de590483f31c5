// In Swedish and in English; also run at QT_SCALE_FACTOR=2 and with a 14-point application font
// (tests/gui/CMakeLists.txt).
#include "dialogs/CLayoutFit.h"
#include "AllWindows.h"
#include "CScriptedDialogRunner.h"
#include "dialogs/CUiLanguage.h"
#include "resources/CStringTable.h"
#include "support/CMemorySettingsStore.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAccessible>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QStyle>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

QString nameOf(const QWidget* w) {
    return QString("%1 '%2'").arg(w->metaObject()->className(), w->objectName());
}

// A control without the room its text needs (a field its height, a group box its title).
bool lacksRoom(const QWidget* w) {
    const QSize need = CLayoutFit::needed(*w);
    return need.width() > w->width() || need.height() > w->height();
}

// The controls placed in container (for the main window, also in its client area): room for
// their texts, inside the window, over no other control.
void checkRoom(QWidget& container, QStringList& faults) {
    QList<QWidget*> placed;
    for (QWidget* w : container.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (w->isVisible() && !w->isWindow())
            placed << w;
    for (QWidget* w : placed) {
        if (lacksRoom(w) || !container.rect().contains(w->geometry()))
            faults << nameOf(w) + " is cut";
        if (auto* bar = qobject_cast<QToolBar*>(w)) {
            for (QAbstractButton* b : bar->findChildren<QAbstractButton*>())
                if (b->isVisible() && lacksRoom(b))
                    faults << nameOf(b) + " is cut";
        } else if (!qobject_cast<QAbstractScrollArea*>(w) &&
                   !w->findChildren<QLabel*>().isEmpty()) {
            checkRoom(*w, faults);
        }
        for (QWidget* other : placed)
            if (w < other && !qobject_cast<QGroupBox*>(w) && !qobject_cast<QGroupBox*>(other) &&
                w->geometry().intersects(other->geometry()))
                faults << nameOf(w) + " covers " + nameOf(other);
    }
}

// Every node a screen reader reaches that stands for a control has a name.
void checkNames(QAccessibleInterface* node, QStringList& faults) {
    if (!node || node->state().invisible)
        return;
    const QAccessible::Role role = node->role();
    if (role != QAccessible::Client && role != QAccessible::Separator &&
        role != QAccessible::ScrollBar && node->text(QAccessible::Name).trimmed().isEmpty())
        faults << QString("a %1 without a name").arg(node->object()->metaObject()->className());
    for (int i = 0; i < node->childCount(); ++i)
        checkNames(node->child(i), faults);
}

class LayoutFit : public ::testing::TestWithParam<CUiLanguage::Language> {
protected:
    void SetUp() override { CUiLanguage::use(GetParam()); }
    void TearDown() override { CUiLanguage::use(CUiLanguage::Language::Swedish); }
};

INSTANTIATE_TEST_SUITE_P(Languages, LayoutFit,
                         ::testing::Values(CUiLanguage::Language::Swedish,
                                           CUiLanguage::Language::English),
                         [](const auto& language) {
                             return language.param == CUiLanguage::Language::Swedish ? "Swedish"
                                                                                     : "English";
                         });

// The sizes stand whole and right-aligned in their column, the widest of each form included,
// and the last column reaches the list's right edge.
TEST_P(LayoutFit, TheListShowsEverySizeWhole) {
    CMemorySettingsStore store;
    CScriptedDialogRunner runner;
    CMaroketDlg window(store, runner);
    for (const char* size : {" 999 bytes", "1023.99 kB", "1024 bytes", "999.99 MB"})
        window.listView().appendRow("1. Anna <anna@example.org>", "Hej", "1 Jan 2026", size);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTreeWidget* list = window.list();
    const QFontMetrics metrics(list->font());
    const int margin = list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1;
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = list->topLevelItem(row);
        const QString size = item->text(3);
        EXPECT_LE(metrics.horizontalAdvance(size) + 2 * margin,
                  list->visualRect(list->model()->index(row, 3)).width())
            << size.toStdString();
        EXPECT_EQ(item->textAlignment(3) & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    }
    int columns = 0;
    for (int c = 0; c < list->columnCount(); ++c)
        columns += list->columnWidth(c);
    EXPECT_EQ(columns, list->viewport()->width());
}

TEST_P(LayoutFit, EveryWindowHoldsItsTextsAndNamesItsControls) {
    CMemorySettingsStore store;
    CScriptedDialogRunner runner;
    std::vector<std::unique_ptr<QWidget>> windows = makeAllWindows(store, runner);
    static_cast<CMaroketDlg&>(*windows.front())
        .setStatus(CStringTable::load(StringId::DoneAccountHas) + " 999 " +
                   CStringTable::loadCounted(StringId::MessagesTotalling, 999) + " 999.99 MB.");
    for (auto& window : windows) {
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        // The windows follow the application's font, never below 8 points.
        EXPECT_EQ(window->font().pointSize(), std::max(8, QApplication::font().pointSize()));
        QStringList faults;
        checkRoom(*window, faults);
        checkNames(QAccessible::queryAccessibleInterface(window.get()), faults);
        EXPECT_TRUE(faults.isEmpty())
            << window->metaObject()->className() << ": " << faults.join("; ").toStdString();
    }
}

} // namespace
