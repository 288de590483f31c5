// Run at the desktop's usual settings, at QT_SCALE_FACTOR=2 and with a 14-point application
// font (tests/gui/CMakeLists.txt): the windows follow the font, and every text keeps its room.
#include "CScriptedDialogRunner.h"
#include "app/CMaroketDlg.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CComposeDlg.h"
#include "dialogs/CContentDlg.h"
#include "dialogs/CForwardDlg.h"
#include "dialogs/CMarkNumberDlg.h"
#include "dialogs/CMarkSizeDlg.h"
#include "dialogs/CMarkTextDlg.h"
#include "dialogs/CProgressDlg.h"
#include "dialogs/CSettingsDlg.h"
#include "resources/CStringTable.h"
#include "support/CMemorySettingsStore.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

QString nameOf(const QWidget* w) {
    const QString text = w->accessibleName().isEmpty() ? w->objectName() : w->accessibleName();
    return QString("%1 '%2'").arg(w->metaObject()->className(), text);
}

// The room a control lacks for its text; empty when it has enough.
QString lacking(const QWidget* w) {
    QSize need;
    if (qobject_cast<const QLineEdit*>(w) || qobject_cast<const QProgressBar*>(w))
        need = QSize(0, w->sizeHint().height());
    else if (qobject_cast<const QGroupBox*>(w))
        need = QSize(w->minimumSizeHint().width(), 0);
    else if (qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLabel*>(w) ||
             qobject_cast<const QComboBox*>(w))
        need = w->sizeHint();
    if (need.width() <= w->width() && need.height() <= w->height())
        return {};
    return QString("%1 is %2x%3, needs %4x%5")
        .arg(nameOf(w))
        .arg(w->width())
        .arg(w->height())
        .arg(need.width())
        .arg(need.height());
}

// Every control placed in container (and, for the main window, in its client area): its text
// has room, it lies inside, and it covers no other control.
void checkControls(QWidget& container, QStringList& faults) {
    QList<QWidget*> placed;
    for (QWidget* w : container.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (w->isVisible() && !w->isWindow())
            placed << w;
    for (QWidget* w : placed) {
        if (const QString lack = lacking(w); !lack.isEmpty())
            faults << lack;
        if (!container.rect().contains(w->geometry()))
            faults << nameOf(w) + " is cut off by the window's edge";
        if (auto* bar = qobject_cast<QToolBar*>(w)) {
            for (QAbstractButton* b : bar->findChildren<QAbstractButton*>())
                if (b->isVisible() && !lacking(b).isEmpty())
                    faults << lacking(b);
            if (auto* more = bar->findChild<QWidget*>("qt_toolbar_ext_button");
                more && more->isVisible())
                faults << "toolbar entries hidden behind its extension button";
        }
        if (!qobject_cast<QAbstractScrollArea*>(w) && !qobject_cast<QToolBar*>(w) &&
            !qobject_cast<QGroupBox*>(w) && !w->findChildren<QLabel*>().isEmpty())
            checkControls(*w, faults); // the main window's client area
        for (QWidget* other : placed)
            if (other != w && !qobject_cast<QGroupBox*>(w) && !qobject_cast<QGroupBox*>(other) &&
                w < other && w->geometry().intersects(other->geometry()))
                faults << nameOf(w) + " overlaps " + nameOf(other);
    }
}

TEST(LayoutFit, EveryControlOfEveryWindowHasRoomForItsText) {
    CMemorySettingsStore store;
    CScriptedDialogRunner runner;
    auto progress = std::make_shared<ProgressState>();
    progress->total = 10;
    std::vector<std::unique_ptr<QWidget>> windows;
    auto main = std::make_unique<CMaroketDlg>(store, runner);
    main->setStatus(CStringTable::load(StringId::DoneAccountHas) + " 999 " +
                    CStringTable::load(StringId::MessagesTotalling) + " 999.99 MB.");
    windows.push_back(std::move(main));
    windows.push_back(std::make_unique<CProgressDlg>(progress));
    windows.push_back(std::make_unique<CMarkNumberDlg>());
    windows.push_back(std::make_unique<CMarkSizeDlg>());
    windows.push_back(std::make_unique<CMarkTextDlg>(CMarkTextDlg::Criterion::Sender));
    windows.push_back(std::make_unique<CMarkTextDlg>(CMarkTextDlg::Criterion::Subject));
    windows.push_back(std::make_unique<CSettingsDlg>());
    windows.push_back(std::make_unique<CForwardDlg>());
    windows.push_back(std::make_unique<CContentDlg>());
    windows.push_back(std::make_unique<CComposeDlg>());
    windows.push_back(std::make_unique<CAboutDlg>());
    for (auto& window : windows) {
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        // The windows follow the application's font, never below 8 points.
        EXPECT_EQ(window->font().pointSize(), std::max(8, QApplication::font().pointSize()));
        QStringList faults;
        checkControls(*window, faults);
        EXPECT_TRUE(faults.isEmpty())
            << window->metaObject()->className() << ": " << faults.join("; ").toStdString();
    }
}

} // namespace
