// The language the program speaks: how it is chosen, Qt's own texts, and a walk over every
// window in Swedish and in English.
#include "dialogs/CUiLanguage.h"
#include "AllWindows.h"
#include "CScriptedDialogRunner.h"
#include "dialogs/CDialogRunner.h"
#include "dialogs/CIntegerRule.h"
#include "resources/CStringTable.h"
#include "resources/MaroketVersion.h"
#include "support/CMemorySettingsStore.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>

namespace {

using Language = CUiLanguage::Language;

class CUiLanguageTest : public ::testing::Test {
protected:
    void TearDown() override { CUiLanguage::use(Language::Swedish); }
};

TEST_F(CUiLanguageTest, TheOptionThenTheSettingThenTheDesktopChoose) {
    const auto sv = Language::Swedish;
    const auto en = Language::English;
    EXPECT_EQ(CUiLanguage::choose("", "", {"sv-SE", "sv-Latn-SE", "sv"}), sv);
    EXPECT_EQ(CUiLanguage::choose("", "", {"sv-FI"}), sv);
    // LANG unset, C or POSIX: every test and transcript of the Swedish program holds.
    EXPECT_EQ(CUiLanguage::choose("", "", {"C"}), sv);
    EXPECT_EQ(CUiLanguage::choose("", "", {}), sv);
    EXPECT_EQ(CUiLanguage::choose("", "", {"en-GB", "en-Latn-GB"}), en);
    EXPECT_EQ(CUiLanguage::choose("", "", {"de-DE", "sv-SE"}), en);
    EXPECT_EQ(CUiLanguage::choose("", "", {"sv", "en-US"}), sv); // LANGUAGE=sv:en
    EXPECT_EQ(CUiLanguage::choose("", "en", {"sv-SE"}), en);
    EXPECT_EQ(CUiLanguage::choose("", "sv", {"de-DE"}), sv);
    EXPECT_EQ(CUiLanguage::choose("sv", "en", {"en-GB"}), sv);
    EXPECT_EQ(CUiLanguage::choose("en", "sv", {"C"}), en);
    // A setting the program cannot speak leaves the choice to the desktop.
    EXPECT_EQ(CUiLanguage::choose("", "fr", {"sv-SE"}), sv);
    EXPECT_EQ(CUiLanguage::choose("", "Svenska", {"en-GB"}), en);
}

// The delete question as the program asks it, and the menu of a text field, each read while it
// is open.
struct QtTexts {
    QStringList question, lineMenu, textMenu;
};

QtTexts qtTextsIn(Language language) {
    CUiLanguage::use(language);
    QtTexts seen;
    QTimer::singleShot(0, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        for (QAbstractButton* button : box->buttons())
            seen.question << button->text();
        box->button(QMessageBox::No)->click();
    });
    EXPECT_FALSE(CDialogRunner().askYesNo(QStringLiteral("?")));
    QLineEdit line;
    QPlainTextEdit text;
    const std::unique_ptr<QMenu> lineMenu(line.createStandardContextMenu());
    const std::unique_ptr<QMenu> textMenu(text.createStandardContextMenu());
    for (QAction* action : lineMenu->actions())
        seen.lineMenu << action->text().section(QLatin1Char('\t'), 0, 0);
    for (QAction* action : textMenu->actions())
        seen.textMenu << action->text().section(QLatin1Char('\t'), 0, 0);
    return seen;
}

TEST_F(CUiLanguageTest, QtsOwnTextsFollowTheLanguage) {
    const QtTexts english = qtTextsIn(Language::English);
    EXPECT_EQ(english.question, QStringList({"&Yes", "&No"}));
    EXPECT_TRUE(english.lineMenu.contains("&Undo"));
    EXPECT_TRUE(english.textMenu.contains("&Copy"));

    // Qt's catalogue (qt_sv) names the text field's menu; what it lacks of Qt 6, the standard
    // buttons and the menu of a multi-line field, comes with the program.
    const QtTexts swedish = qtTextsIn(Language::Swedish);
    EXPECT_EQ(swedish.question, QStringList({"&Ja", "&Nej"}));
    EXPECT_TRUE(swedish.lineMenu.contains("&Ångra")) << swedish.lineMenu.join('|').toStdString();
    EXPECT_TRUE(swedish.textMenu.contains("&Kopiera")) << swedish.textMenu.join('|').toStdString();
}

// Every text of w a user reads or a screen reader says, in the order the controls were made.
QStringList textsOf(QWidget& w) {
    QStringList texts{w.windowTitle(), w.accessibleName()};
    for (QObject* object : w.findChildren<QObject*>()) {
        if (auto* widget = qobject_cast<QWidget*>(object))
            texts << widget->accessibleName() << widget->toolTip();
        if (auto* label = qobject_cast<QLabel*>(object))
            texts << label->text();
        else if (auto* button = qobject_cast<QAbstractButton*>(object))
            texts << button->text();
        else if (auto* group = qobject_cast<QGroupBox*>(object))
            texts << group->title();
        else if (auto* action = qobject_cast<QAction*>(object))
            texts << action->text() << action->toolTip();
        else if (auto* menu = qobject_cast<QMenu*>(object))
            texts << menu->title();
        else if (auto* text = qobject_cast<QPlainTextEdit*>(object))
            texts << text->toPlainText();
        else if (auto* tree = qobject_cast<QTreeWidget*>(object))
            for (int c = 0; c < tree->columnCount(); ++c)
                texts << tree->headerItem()->text(c);
        else if (auto* list = qobject_cast<QComboBox*>(object))
            for (int i = 0; i < list->count(); ++i)
                texts << list->itemText(i);
    }
    texts.removeAll(QString());
    return texts;
}

std::vector<QStringList> walk(Language language) {
    CUiLanguage::use(language);
    CMemorySettingsStore store;
    CScriptedDialogRunner runner;
    std::vector<QStringList> seen;
    for (auto& window : makeAllWindows(store, runner)) {
        window->show(); // the about box writes its credits as it opens
        seen.push_back(textsOf(*window));
    }
    return seen;
}

TEST_F(CUiLanguageTest, EveryWindowSpeaksEnglish) {
    const std::vector<QStringList> swedish = walk(Language::Swedish);
    const std::vector<QStringList> english = walk(Language::English);
    // Names and words that are the same in both languages.
    const QStringList same = {"Maroket",
                              QString::fromLatin1(kMaroketVersionText),
                              "OK",
                              "Forward",
                              "Forward...",
                              "&Forward...",
                              "Text:",
                              "Status",
                              "Tele2",
                              "MB",
                              "kB",
                              "bytes",
                              "https://maroket.example.org/",
                              "info@example.org"};
    ASSERT_EQ(swedish.size(), english.size());
    for (std::size_t w = 0; w < swedish.size(); ++w) {
        ASSERT_EQ(swedish[w].size(), english[w].size()) << "window " << w;
        for (qsizetype i = 0; i < swedish[w].size(); ++i)
            EXPECT_TRUE(swedish[w][i] != english[w][i] || same.contains(swedish[w][i]))
                << "window " << w << " still says " << swedish[w][i].toStdString();
    }
    EXPECT_TRUE(english.front().contains("Disconnected."));
    EXPECT_TRUE(english.front().contains("&File"));

    // Texts that follow a count take its form; the integer fields' refusal stays English.
    EXPECT_EQ(CStringTable::loadCounted(StringId::MarkedCount, 1), "message marked.");
    EXPECT_EQ(CStringTable::loadCounted(StringId::MarkedCount, 3), "messages marked.");
    EXPECT_EQ(CStringTable::load(StringId::ServerRefused, "110"),
              "The server refused the connection (port 110).");
    EXPECT_EQ(CUiLanguage::translate("CIntegerRule", CIntegerRule::notAnInteger.data()),
              "Please enter an integer.");
    CUiLanguage::use(Language::Swedish);
    EXPECT_EQ(CStringTable::loadCounted(StringId::MarkedCount, 1), "brev markerade.");
}

} // namespace
