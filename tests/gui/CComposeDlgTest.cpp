#include "dialogs/CComposeDlg.h"
#include "QStringOutput.h"
#include "dialogs/DialogResult.h"
#include "dialogs/IdText.h"

#include "DialogDriver.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <QCheckBox>
#include <QFontInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <string>
#include <vector>

using namespace dialogdriver;

namespace {

QLineEdit* fromEdit(CComposeDlg& d) {
    return control<QLineEdit>(d, idText(ControlId::FromEdit));
}
QLineEdit* toEdit(CComposeDlg& d) {
    return control<QLineEdit>(d, idText(ControlId::ToEdit));
}
QLineEdit* subjectEdit(CComposeDlg& d) {
    return control<QLineEdit>(d, idText(ControlId::SubjectEdit));
}
QPlainTextEdit* bodyEdit(CComposeDlg& d) {
    return control<QPlainTextEdit>(d, idText(ControlId::BodyEdit));
}

TEST(ComposeDlg, QuotingPutsTheMarkInFrontOfEveryLine) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Hej\nhopp\n", "> Hej\n> hopp\n> "},
        {"Hej\r\nhopp\r\n", "> Hej\r\n> hopp\r\n> "},
        {"", "> "},
        {"en rad", "> en rad"},
        {"\n\n", "> \n> \n> "},
        {"> redan citerad\n", "> > redan citerad\n> "},
        {"a\rb", "> a\rb"}, // only a line feed starts a line
    };
    for (const auto& [text, quoted] : cases) {
        CComposeDlg dlg;
        dlg.SetQuotedBody(text);
        EXPECT_EQ(dlg.body(), quoted) << text;
    }
}

TEST(ComposeDlg, QuotedReplyShowsInTheEditorAndReadsBackWithItsLineEnds) {
    CComposeDlg dlg;
    dlg.SetFrom("jag@exempel.se");
    dlg.SetTo("du@exempel.se");
    dlg.SetSubject("Re: Möte");
    dlg.SetQuotedBody("Första raden\r\nAndra\u00A0raden\r\n");

    const int result = runDriven(dlg, [&] {
        QStringList lines;
        for (QTextBlock b = bodyEdit(dlg)->document()->begin(); b.isValid(); b = b.next())
            lines << b.text();
        EXPECT_EQ(lines, (QStringList{QStringLiteral("> Första raden"),
                                      QStringLiteral("> Andra\u00A0raden"), QStringLiteral("> ")}));
        EXPECT_EQ(subjectEdit(dlg)->text(), QStringLiteral("Re: Möte"));
        ASSERT_EQ(focusedControl(dlg), bodyEdit(dlg));
        QTest::keyClick(bodyEdit(dlg), Qt::Key_End, Qt::ControlModifier);
        typeText(bodyEdit(dlg), QStringLiteral("Svar"));
        EXPECT_TRUE(dlg.isVisible());
        QTest::keyClick(subjectEdit(dlg), Qt::Key_Return);
    });

    EXPECT_EQ(result, DialogResult::ok);
    // CR LF pairs as they came; the no-break space is not turned into a blank.
    EXPECT_EQ(dlg.body(), "> Första raden\r\n> Andra\u00A0raden\r\n> Svar");
    EXPECT_EQ(dlg.subject(), "Re: Möte");
}

TEST(ComposeDlg, FocusGoesToTheBodyTheToFieldOrNowhere) {
    struct Case {
        const char* from;
        const char* to;
        QString focused; // empty: no control
    };
    for (const Case& c : {Case{"", "du@exempel.se", {}}, Case{"", "", {}},
                          Case{"jag@exempel.se", "", idText(ControlId::ToEdit)},
                          Case{"jag@exempel.se", "du@exempel.se", idText(ControlId::BodyEdit)}}) {
        SCOPED_TRACE(std::string(c.from) + " / " + c.to);
        CComposeDlg dlg;
        dlg.SetFrom(c.from);
        dlg.SetTo(c.to);
        const int result = runDriven(dlg, [&] {
            QWidget* focus = focusedControl(dlg);
            if (!c.focused.isEmpty())
                EXPECT_EQ(focus, control(dlg, c.focused));
            else
                EXPECT_EQ(focus, nullptr) << focus->objectName().toStdString();
            // Without a focused control the keyboard still reaches the dialog.
            pressKey(dlg, Qt::Key_Escape);
        });
        EXPECT_EQ(result, DialogResult::cancel);
    }
}

TEST(ComposeDlg, EnterInTheBodyStartsALineAndEndsNothing) {
    CComposeDlg dlg;
    dlg.SetFrom("jag@exempel.se");
    dlg.SetTo("du@exempel.se");
    const int result = runDriven(dlg, [&] {
        ASSERT_EQ(focusedControl(dlg), bodyEdit(dlg));
        typeText(bodyEdit(dlg), QStringLiteral("Hej"));
        QTest::keyClick(bodyEdit(dlg), Qt::Key_Return);
        QTest::keyClick(bodyEdit(dlg), Qt::Key_Enter);
        typeText(bodyEdit(dlg), QStringLiteral("då"));
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_EQ(bodyEdit(dlg)->blockCount(), 3);
        control<QPushButton>(dlg, idText(ControlId::Ok))->click();
    });
    EXPECT_EQ(result, DialogResult::ok);
    EXPECT_EQ(dlg.body(), "Hej\r\n\r\ndå");
}

TEST(ComposeDlg, EnterInAOneLineFieldSendsEveryFieldAsTyped) {
    for (const QString& id :
         {idText(ControlId::FromEdit), idText(ControlId::ToEdit), idText(ControlId::SubjectEdit)}) {
        SCOPED_TRACE(id);
        CComposeDlg dlg;
        dlg.SetFrom("Åsa Öberg <asa@exempel.se>");
        dlg.SetSubject("Räkning");
        const int result = runDriven(dlg, [&] {
            EXPECT_EQ(fromEdit(dlg)->text(), QStringLiteral("Åsa Öberg <asa@exempel.se>"));
            EXPECT_EQ(subjectEdit(dlg)->text(), QStringLiteral("Räkning"));
            typeText(toEdit(dlg), QStringLiteral("Pär <par@exempel.se>"));
            typeText(subjectEdit(dlg), QStringLiteral(" 5 €"));
            typeText(bodyEdit(dlg), QStringLiteral("Hälsningar"));
            control<QCheckBox>(dlg, idText(ControlId::DirectBox))->click();
            QTest::keyClick(control(dlg, id), Qt::Key_Return);
        });
        EXPECT_EQ(result, DialogResult::ok);
        EXPECT_EQ(dlg.from(), "Åsa Öberg <asa@exempel.se>");
        EXPECT_EQ(dlg.to(), "Pär <par@exempel.se>");
        EXPECT_EQ(dlg.subject(), "Räkning 5 €"); // nothing typed is replaced
        EXPECT_EQ(dlg.body(), "Hälsningar");
        EXPECT_TRUE(dlg.direct());
    }
}

// With typed text, Avbryt, Escape and the close box first ask "Kasta brevet?": No keeps the
// window and the text, Yes ends it reading nothing. A window nobody typed in (a reply's quote
// included) closes without a question.
TEST(ComposeDlg, AvbrytEscapeAndTheCloseBoxAskBeforeTypedTextIsThrownAway) {
    const std::vector<std::pair<const char*, std::function<void(CComposeDlg&)>>> ways = {
        {"Avbryt",
         [](CComposeDlg& d) { control<QPushButton>(d, idText(ControlId::Cancel))->click(); }},
        {"Escape", [](CComposeDlg& d) { QTest::keyClick(toEdit(d), Qt::Key_Escape); }},
        {"close box", [](CComposeDlg& d) { d.close(); }},
    };
    for (const auto& way : ways) {
        const auto& name = way.first;
        const auto& end = way.second;
        SCOPED_TRACE(name);
        CComposeDlg dlg;
        dlg.SetFrom("jag@exempel.se");
        dlg.SetDirect(true);
        QStringList asked;
        bool discard = false;
        dlg.setDiscardQuestion([&](const QString& question) {
            asked << question;
            return discard;
        });
        const int result = runDriven(dlg, [&] {
            EXPECT_TRUE(control<QCheckBox>(dlg, idText(ControlId::DirectBox))->isChecked());
            typeText(toEdit(dlg), QStringLiteral("du@exempel.se"));
            typeText(fromEdit(dlg), QStringLiteral("x"));
            control<QCheckBox>(dlg, idText(ControlId::DirectBox))->click();
            end(dlg);
            EXPECT_TRUE(dlg.isVisible());
            EXPECT_EQ(toEdit(dlg)->text(), QStringLiteral("du@exempel.se"));
            discard = true;
            end(dlg);
        });
        EXPECT_EQ(asked, QStringList(2, QString::fromUtf8("Kasta brevet?")));
        EXPECT_EQ(result, DialogResult::cancel);
        EXPECT_EQ(dlg.from(), "jag@exempel.se");
        EXPECT_EQ(dlg.to(), "");
        EXPECT_EQ(dlg.body(), "");
        EXPECT_TRUE(dlg.direct());

        CComposeDlg untouched;
        untouched.SetQuotedBody("Hej\n");
        untouched.setDiscardQuestion([](const QString&) {
            ADD_FAILURE() << "asked about a window nobody typed in";
            return true;
        });
        EXPECT_EQ(runDriven(untouched, [&] { end(untouched); }), DialogResult::cancel);
    }
}

TEST(ComposeDlg, FixedPitchLayoutWithTabOrderFromToSubjectBody) {
    CComposeDlg dlg;
    dlg.SetFrom("jag@exempel.se");
    runDriven(dlg, [&] {
        EXPECT_EQ(dlg.objectName(), idText(ControlId::ComposeDlg));
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Nytt brev"));
        EXPECT_TRUE(dlg.windowFlags() & Qt::WindowCloseButtonHint);
        EXPECT_TRUE(dlg.windowFlags() & Qt::WindowMinimizeButtonHint);
        EXPECT_FALSE(dlg.windowFlags() & Qt::WindowMaximizeButtonHint);
        for (const QString& id :
             {idText(ControlId::BodyEdit), idText(ControlId::FromEdit), idText(ControlId::ToEdit),
              idText(ControlId::SubjectEdit), idText(ControlId::DirectBox), idText(ControlId::Ok),
              idText(ControlId::Cancel)}) {
            QWidget* w = control(dlg, id);
            EXPECT_TRUE(QFontInfo(w->font()).fixedPitch()) << id;
            // The desktop's size, never below the 8 pt of the layout.
            EXPECT_EQ(w->font().pointSize(), std::max(8, QApplication::font().pointSize())) << id;
            EXPECT_FALSE(w->accessibleName().isEmpty()) << id;
            EXPECT_TRUE(dlg.rect().contains(w->geometry())) << id;
        }
        EXPECT_EQ(control<QPushButton>(dlg, idText(ControlId::Ok))->text(),
                  QStringLiteral("Skicka"));
        EXPECT_TRUE(control<QPushButton>(dlg, idText(ControlId::Ok))->isDefault());
        // A long line wraps at the body's width instead of scrolling sideways.
        bodyEdit(dlg)->setPlainText(QString(300, QLatin1Char('x')));
        EXPECT_GT(bodyEdit(dlg)->document()->firstBlock().layout()->lineCount(), 1);
        bodyEdit(dlg)->clear();

        // From, to and subject across the top in that order; the body below them.
        EXPECT_LT(fromEdit(dlg)->x(), toEdit(dlg)->x());
        EXPECT_LT(toEdit(dlg)->x(), subjectEdit(dlg)->x());
        EXPECT_GT(bodyEdit(dlg)->y(), fromEdit(dlg)->geometry().bottom());

        fromEdit(dlg)->setFocus();
        QStringList visited;
        for (int i = 0; i < 7; ++i) {
            pressKey(dlg, Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        EXPECT_EQ(visited, (QStringList{idText(ControlId::ToEdit), idText(ControlId::SubjectEdit),
                                        idText(ControlId::BodyEdit), idText(ControlId::DirectBox),
                                        "1", "2", idText(ControlId::FromEdit)}));
        EXPECT_TRUE(bodyEdit(dlg)->toPlainText().isEmpty()) << "Tab went into the body";
        pressKey(dlg, Qt::Key_Escape);
    });
}

} // namespace
