#include "dialogs/CContentDlg.h"
#include "dialogs/CContentText.h"
#include "dialogs/CForwardDlg.h"
#include "dialogs/DialogResult.h"
#include "dialogs/IdText.h"
#include "resources/CStringTable.h"

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
        const int result =
            runDriven(dlg, [&] { control<QPushButton>(dlg, idText(ControlId::Ok))->click(); });
        EXPECT_EQ(result, DialogResult::ok);
        EXPECT_EQ(dlg.address(), "");
        EXPECT_FALSE(dlg.deleteAfterForwarding());
    }
    {
        CForwardDlg dlg;
        const int result = runDriven(dlg, [&] {
            EXPECT_EQ(focusedControl(dlg), control(dlg, idText(ControlId::ForwardAddressEdit)));
            typeText(control(dlg, idText(ControlId::ForwardAddressEdit)),
                     QStringLiteral(" Åke <ake@exempel.se> "));
            QTest::mouseClick(control(dlg, idText(ControlId::DeleteAfterBox)), Qt::LeftButton);
            pressKey(dlg, Qt::Key_Return); // the check box has the focus now
        });
        EXPECT_EQ(result, DialogResult::ok);
        EXPECT_EQ(dlg.address(), " Åke <ake@exempel.se> ");
        EXPECT_TRUE(dlg.deleteAfterForwarding());
    }
}

TEST(ForwardDlg, AvbrytAndEscapeReadNothing) {
    const std::vector<std::pair<const char*, std::function<void(CForwardDlg&)>>> ways = {
        {"Avbryt",
         [](CForwardDlg& d) { control<QPushButton>(d, idText(ControlId::Cancel))->click(); }},
        {"Escape",
         [](CForwardDlg& d) {
             QTest::keyClick(control(d, idText(ControlId::ForwardAddressEdit)), Qt::Key_Escape);
         }},
    };
    for (const auto& way : ways) {
        const auto& name = way.first;
        const auto& end = way.second;
        SCOPED_TRACE(name);
        CForwardDlg dlg;
        const int result = runDriven(dlg, [&] {
            typeText(control(dlg, idText(ControlId::ForwardAddressEdit)),
                     QStringLiteral("ake@exempel.se"));
            control<QCheckBox>(dlg, idText(ControlId::DeleteAfterBox))->click();
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
        EXPECT_EQ(dlg.objectName(), idText(ControlId::ForwardDlg));
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Forward"));
        EXPECT_FALSE(dlg.windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint |
                                          Qt::WindowMinimizeButtonHint));
        EXPECT_EQ(control<QCheckBox>(dlg, idText(ControlId::DeleteAfterBox))->text(),
                  QStringLiteral("Radera originalbrev"));
        EXPECT_FALSE(control<QCheckBox>(dlg, idText(ControlId::DeleteAfterBox))->isChecked());
        EXPECT_EQ(control<QPushButton>(dlg, idText(ControlId::Cancel))->text(),
                  QStringLiteral("Avbryt"));
        EXPECT_TRUE(control<QPushButton>(dlg, idText(ControlId::Ok))->isDefault());
        EXPECT_FALSE(
            control(dlg, idText(ControlId::ForwardAddressEdit))->accessibleName().isEmpty());
        // The label stands left of the field it names, the buttons side by side below.
        QLabel* label = nullptr;
        for (QLabel* l : dlg.findChildren<QLabel*>())
            if (l->text() == QStringLiteral("Adress:"))
                label = l;
        ASSERT_TRUE(label);
        EXPECT_LE(label->geometry().right(),
                  control(dlg, idText(ControlId::ForwardAddressEdit))->x());
        EXPECT_EQ(control(dlg, idText(ControlId::Ok))->y(),
                  control(dlg, idText(ControlId::Cancel))->y());
        EXPECT_LT(control(dlg, idText(ControlId::Ok))->x(),
                  control(dlg, idText(ControlId::Cancel))->x());
        for (QWidget* w : dlg.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            EXPECT_TRUE(dlg.rect().contains(w->geometry())) << w->objectName().toStdString();
        pressKey(dlg, Qt::Key_Escape);
    });
}

TEST(ContentDlg, ShowsTheTextReadOnlyAndWrapped) {
    CContentDlg dlg;
    dlg.SetText("Subject: Räkning\r\n\r\n" + std::string(400, 'x'));
    const int result = runDriven(dlg, [&] {
        EXPECT_EQ(dlg.objectName(), idText(ControlId::ContentDlg));
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Innehåll"));
        EXPECT_TRUE(dlg.windowFlags() & Qt::WindowCloseButtonHint);
        EXPECT_TRUE(dlg.windowFlags() & Qt::WindowMinimizeButtonHint);
        const QString text =
            QStringLiteral("Subject: Räkning\n\n") + QString(400, QLatin1Char('x'));
        auto* edit = control<QPlainTextEdit>(dlg, idText(ControlId::ContentText));
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

TEST(ContentDlg, BreaksLongLinesAndCutsVeryManySoAnyTextShowsAtOnce) {
    // A line of 2501 characters with one blank, then more lines than the window keeps.
    std::string text = std::string(1900, 'a') + " " + std::string(600, 'x') + "\r\n";
    const std::string rows = "räd\r\n";
    for (std::size_t i = 0; i < CContentText::kLinesMax; ++i)
        text += rows;
    CContentDlg dlg;
    dlg.SetText(text);
    runDriven(dlg, [&] {
        const QTextDocument* shown =
            control<QPlainTextEdit>(dlg, idText(ControlId::ContentText))->document();
        ASSERT_EQ(shown->blockCount(), static_cast<int>(CContentText::kLinesMax) + 1);
        // Cut where no blank is near, else after the blank.
        EXPECT_EQ(shown->findBlockByNumber(0).text(), QString(1000, QLatin1Char('a')));
        EXPECT_EQ(shown->findBlockByNumber(1).text(), QString(900, QLatin1Char('a')) + u' ');
        EXPECT_EQ(shown->findBlockByNumber(2).text(), QString(600, QLatin1Char('x')));
        EXPECT_EQ(shown->findBlockByNumber(3).text(), QStringLiteral("räd"));
        EXPECT_EQ(shown->lastBlock().text().toStdString(),
                  CStringTable::load(StringId::ContentCutNote));
        pressKey(dlg, Qt::Key_Escape);
    });
    EXPECT_EQ(dlg.text(), text);
}

} // namespace
