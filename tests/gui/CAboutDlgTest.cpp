#include "dialogs/CAboutDlg.h"
#include "QStringOutput.h"
#include "dialogs/CUiText.h"
#include "dialogs/DialogResult.h"
#include "dialogs/IdText.h"
#include "resources/CStringTable.h"
#include "resources/MaroketVersion.h"

#include "DialogDriver.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include <vector>

using namespace dialogdriver;

namespace {

QString credits(CAboutDlg& d) {
    return control<QPlainTextEdit>(d, idText(ControlId::CreditsText))->toPlainText();
}
QString stringTable(StringId id) {
    return CUiText::toQString(CStringTable::load(id));
}

// Mouse input as the window system delivers it, so that it is routed past the link labels.
void press(CAboutDlg& d, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mousePress(d.windowHandle(), button, {}, at);
}
void release(CAboutDlg& d, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseRelease(d.windowHandle(), button, {}, at);
}

class AboutDlg : public ::testing::Test {
protected:
    void SetUp() override {
        CAboutDlg::setUrlOpener([this](const QUrl& url) {
            opened.push_back(url.toString());
            return false; // as without a browser: nothing may follow from it
        });
    }
    void TearDown() override { CAboutDlg::setUrlOpener({}); }

    // A point of the dialog's own surface, clear of every control: left of the credits, under
    // the icon.
    static QPoint bareSurface(CAboutDlg& d) {
        const QRect edit = control(d, idText(ControlId::CreditsText))->geometry();
        return {edit.left() / 2, edit.center().y()};
    }

    std::vector<QString> opened;
};

TEST_F(AboutDlg, RightDoubleClickShowsTheShortCreditsForThisOpeningOnly) {
    ASSERT_NE(stringTable(StringId::LongCredits), stringTable(StringId::ShortCredits));
    {
        CAboutDlg dlg;
        dlg.SetCreditsVariant(0);
        const int result = runDriven(dlg, [&] {
            EXPECT_EQ(credits(dlg), stringTable(StringId::LongCredits));
            const QPoint at = bareSurface(dlg);
            ASSERT_EQ(dlg.childAt(at), nullptr);
            QTest::mouseDClick(dlg.windowHandle(), Qt::LeftButton, {}, at);
            QTest::mouseClick(dlg.windowHandle(), Qt::RightButton, {}, at);
            EXPECT_EQ(credits(dlg), stringTable(StringId::LongCredits))
                << "only a right double-click switches";
            QTest::mouseDClick(dlg.windowHandle(), Qt::RightButton, {}, at);
            EXPECT_EQ(credits(dlg), stringTable(StringId::ShortCredits));
            EXPECT_EQ(dlg.creditsVariant(), 1);
            QTest::mouseDClick(dlg.windowHandle(), Qt::RightButton, {}, at);
            EXPECT_EQ(credits(dlg), stringTable(StringId::ShortCredits));
            control<QPushButton>(dlg, idText(ControlId::Ok))->click();
        });
        EXPECT_EQ(result, DialogResult::ok);
        EXPECT_TRUE(opened.empty());
    }
    {
        CAboutDlg dlg; // the next opening, as the About command makes it
        dlg.SetCreditsVariant(0);
        runDriven(dlg, [&] {
            EXPECT_EQ(credits(dlg), stringTable(StringId::LongCredits));
            pressKey(dlg, Qt::Key_Escape);
        });
    }
    {
        CAboutDlg dlg;
        dlg.SetCreditsVariant(-5);
        runDriven(dlg, [&] {
            EXPECT_EQ(credits(dlg), stringTable(StringId::ShortCredits));
            pressKey(dlg, Qt::Key_Return);
        });
    }
}

TEST_F(AboutDlg, LeftReleaseOnALinkOpensItWhereverThePressWas) {
    CAboutDlg dlg;
    const int result = runDriven(dlg, [&] {
        const QPoint web = control(dlg, idText(ControlId::WebLink))->geometry().center();
        const QPoint mail = control(dlg, idText(ControlId::MailLink))->geometry().center();
        const QPoint bare = bareSurface(dlg);

        press(dlg, web);
        release(dlg, web);
        EXPECT_EQ(opened, (std::vector<QString>{CAboutDlg::webPage}));

        press(dlg, mail);
        release(dlg, mail);
        EXPECT_EQ(opened.back(), QStringLiteral("mailto:") + CAboutDlg::mailAddress);

        opened.clear();
        press(dlg, web);
        release(dlg, bare);
        press(dlg, mail);
        release(dlg, bare);
        press(dlg, web, Qt::RightButton);
        release(dlg, web, Qt::RightButton);
        EXPECT_TRUE(opened.empty()) << opened.front().toStdString();

        press(dlg, bare);
        release(dlg, mail);
        press(dlg, bare);
        release(dlg, web);
        EXPECT_EQ(opened, (std::vector<QString>{QStringLiteral("mailto:") + CAboutDlg::mailAddress,
                                                CAboutDlg::webPage}));
        EXPECT_TRUE(dlg.isVisible()) << "a link does not end the dialog";
        pressKey(dlg, Qt::Key_Escape);
    });
    EXPECT_EQ(result, DialogResult::cancel);
}

TEST_F(AboutDlg, LaidOutWithIconVersionLinksAndCredits) {
    CAboutDlg dlg;
    runDriven(dlg, [&] {
        EXPECT_EQ(dlg.objectName(), idText(ControlId::AboutDlg));
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Om Maroket..."));
        EXPECT_TRUE(dlg.windowFlags() & Qt::WindowCloseButtonHint);
        EXPECT_FALSE(dlg.windowFlags() & Qt::WindowMinimizeButtonHint);

        auto* icon = control<QLabel>(dlg, idText(ControlId::AboutIcon));
        ASSERT_TRUE(icon);
        const QImage image = icon->pixmap().toImage();
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << "the envelope stands free";
        EXPECT_EQ(qAlpha(image.pixel(image.width() / 2, image.height() * 3 / 4)), 255);

        QStringList texts;
        for (QLabel* label : dlg.findChildren<QLabel*>())
            texts << label->text();
        EXPECT_TRUE(texts.contains(QString::fromLatin1(kMaroketVersionText)));
        for (const QString& id : {idText(ControlId::WebLink), idText(ControlId::MailLink)}) {
            auto* link = control<QLabel>(dlg, id);
            EXPECT_TRUE(link->testAttribute(Qt::WA_TransparentForMouseEvents)) << id;
            // The whole text is visible, inside the dialog.
            EXPECT_GE(link->width(), link->sizeHint().width()) << id;
            EXPECT_TRUE(dlg.rect().contains(link->geometry())) << id;
        }
        EXPECT_EQ(control<QLabel>(dlg, idText(ControlId::WebLink))->text(), CAboutDlg::webPage);
        EXPECT_EQ(control<QLabel>(dlg, idText(ControlId::MailLink))->text(),
                  CAboutDlg::mailAddress);
        EXPECT_TRUE(control<QPlainTextEdit>(dlg, idText(ControlId::CreditsText))->isReadOnly());
        EXPECT_TRUE(control<QPushButton>(dlg, idText(ControlId::Ok))->isDefault());
        pressKey(dlg, Qt::Key_Escape);
    });
}

} // namespace
