#include "dialogs/CContentDlg.h"
#include "dialogs/CForwardDlg.h"
#include "dialogs/DialogResult.h"

#include "DialogDriver.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

using namespace dialogdriver;

namespace {

TEST(ForwardDlg, OkTakesTheAddressAsTypedEvenEmpty) {
    {
        CForwardDlg dlg;
        const int result = runDriven(dlg, [&] { control<QPushButton>(dlg, "1")->click(); });
        EXPECT_EQ(result, DialogResult::ok);
        EXPECT_EQ(dlg.address(), "");
        EXPECT_FALSE(dlg.deleteAfterForwarding());
    }
    {
        CForwardDlg dlg;
        const int result = runDriven(dlg, [&] {
            EXPECT_EQ(focusedControl(dlg), control(dlg, "1044"));
            typeText(control(dlg, "1044"), QStringLiteral(" Åke <ake@exempel.se> "));
            QTest::mouseClick(control(dlg, "1045"), Qt::LeftButton);
            pressKey(dlg, Qt::Key_Return); // the check box has the focus now
        });
        EXPECT_EQ(result, DialogResult::ok);
        EXPECT_EQ(dlg.address(), " \xC5ke <ake@exempel.se> ");
        EXPECT_TRUE(dlg.deleteAfterForwarding());
    }
}

TEST(ForwardDlg, AvbrytAndEscapeReadNothing) {
    const std::vector<std::pair<const char*, std::function<void(CForwardDlg&)>>> ways = {
        {"Avbryt", [](CForwardDlg& d) { control<QPushButton>(d, "2")->click(); }},
        {"Escape", [](CForwardDlg& d) { QTest::keyClick(control(d, "1044"), Qt::Key_Escape); }},
    };
    for (const auto& way : ways) {
        const auto& name = way.first;
        const auto& end = way.second;
        SCOPED_TRACE(name);
        CForwardDlg dlg;
        const int result = runDriven(dlg, [&] {
            typeText(control(dlg, "1044"), QStringLiteral("ake@exempel.se"));
            control<QCheckBox>(dlg, "1045")->click();
            end(dlg);
        });
        EXPECT_EQ(result, DialogResult::cancel);
        EXPECT_EQ(dlg.address(), "");
        EXPECT_FALSE(dlg.deleteAfterForwarding());
    }
}

TEST(ForwardDlg, LaidOutWithoutACloseBox) {
    CForwardDlg dlg;
    runDriven(dlg, [&] {
        EXPECT_EQ(dlg.objectName(), QStringLiteral("131"));
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Forward"));
        EXPECT_FALSE(dlg.windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint |
                                          Qt::WindowMinimizeButtonHint));
        EXPECT_EQ(control<QCheckBox>(dlg, "1045")->text(), QStringLiteral("Radera originalbrev"));
        EXPECT_FALSE(control<QCheckBox>(dlg, "1045")->isChecked());
        EXPECT_EQ(control<QPushButton>(dlg, "2")->text(), QStringLiteral("Avbryt"));
        EXPECT_TRUE(control<QPushButton>(dlg, "1")->isDefault());
        EXPECT_FALSE(control(dlg, "1044")->accessibleName().isEmpty());
        // The label stands left of the field it names, the buttons side by side below.
        QLabel* label = nullptr;
        for (QLabel* l : dlg.findChildren<QLabel*>())
            if (l->text() == QStringLiteral("Adress:"))
                label = l;
        ASSERT_TRUE(label);
        EXPECT_LE(label->geometry().right(), control(dlg, "1044")->x());
        EXPECT_EQ(control(dlg, "1")->y(), control(dlg, "2")->y());
        EXPECT_LT(control(dlg, "1")->x(), control(dlg, "2")->x());
        for (QWidget* w : dlg.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            EXPECT_TRUE(dlg.rect().contains(w->geometry())) << w->objectName().toStdString();
        pressKey(dlg, Qt::Key_Escape);
    });
}

TEST(ContentDlg, ShowsTheTextReadOnlyAndWrapped) {
    CContentDlg dlg;
    dlg.SetText("Subject: R\xE4kning\r\n\r\n" + std::string(400, 'x'));
    const int result = runDriven(dlg, [&] {
        EXPECT_EQ(dlg.objectName(), QStringLiteral("129"));
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Innehåll"));
        EXPECT_TRUE(dlg.windowFlags() & Qt::WindowCloseButtonHint);
        EXPECT_TRUE(dlg.windowFlags() & Qt::WindowMinimizeButtonHint);
        const QString text =
            QStringLiteral("Subject: Räkning\n\n") + QString(400, QLatin1Char('x'));
        auto* edit = control<QPlainTextEdit>(dlg, "1026");
        ASSERT_TRUE(edit);
        EXPECT_EQ(edit->toPlainText(), text);
        EXPECT_EQ(focusedControl(dlg), edit);
        EXPECT_TRUE(edit->isReadOnly());
        EXPECT_GT(edit->document()->lastBlock().layout()->lineCount(), 1) << "no wrapping";
        typeText(edit, QStringLiteral("xyz"));
        QTest::keyClick(edit, Qt::Key_Delete);
        EXPECT_EQ(edit->toPlainText(), text);
        pressKey(dlg, Qt::Key_Return); // the default button, even from the text
    });
    EXPECT_EQ(result, DialogResult::ok);

    CContentDlg closed;
    EXPECT_EQ(runDriven(closed, [&] { closed.close(); }), DialogResult::cancel);
}

} // namespace
