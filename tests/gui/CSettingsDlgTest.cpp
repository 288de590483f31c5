#include "dialogs/CSettingsDlg.h"
#include "QStringOutput.h"
#include "dialogs/DialogResult.h"
#include "dialogs/IdText.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <ostream>
#include <string>
#include <tuple>
#include <vector>

// Readable failures for texts.
static void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

const QString notAnInteger = QStringLiteral("Please enter an integer.");
const QString timeoutRange = QStringLiteral("Please enter an integer between 1 and 10.");

// The nine values in exchange order: Lines, Port, Helo, Smtpserver, Smtpport, Address,
// QuickLogin, Timeout, DNS.
using Nine =
    std::tuple<int, int, std::string, std::string, int, std::string, int, int, std::string>;
const Nine before = {50, 110, "nada", "smtp.example.org", 25, "Åsa@example.org", 1000, 5, ""};

void fill(CSettingsDlg& dlg, const Nine& v) {
    AppSettings& s = dlg.settings();
    std::tie(s.lines, s.port, s.helo, s.smtpServer, s.smtpPort, s.address, s.quickLogin, s.timeout,
             s.dns) = v;
}

Nine stored(const CSettingsDlg& dlg) {
    const AppSettings& s = dlg.settings();
    return {s.lines,   s.port,       s.helo,    s.smtpServer, s.smtpPort,
            s.address, s.quickLogin, s.timeout, s.dns};
}

QLineEdit* edit(const QWidget& dlg, const QString& id) {
    return dlg.findChild<QLineEdit*>(id);
}

// Shown without a modal loop and driven through its widgets; refusals land in `warnings`.
class SettingsDialog : public ::testing::Test {
protected:
    void SetUp() override {
        fill(dlg, before);
        dlg.setWarningHook([this](const QString& text) { warnings.push_back(text); });
    }
    void TearDown() override { dlg.hide(); }

    QLineEdit* edit(const QString& id) { return ::edit(dlg, id); }
    QPushButton* button(const QString& id) { return dlg.findChild<QPushButton*>(id); }
    QString focused() const { return dlg.focusWidget() ? dlg.focusWidget()->objectName() : ""; }

    // Opens the dialog, types the port and presses OK; true when the dialog ended.
    bool okWithPort(const QString& text) {
        dlg.show();
        edit(idText(ControlId::PortEdit))->setText(text);
        button(idText(ControlId::Ok))->click();
        return !dlg.isVisible();
    }

    CSettingsDlg dlg;
    std::vector<QString> warnings;
};

} // namespace

TEST_F(SettingsDialog, PortTextsRefusedAndAccepted) {
    for (const char* text : {"", "110x", "+0"}) {
        warnings.clear();
        EXPECT_FALSE(okWithPort(text)) << '"' << text << '"';
        EXPECT_EQ(warnings, std::vector<QString>{notAnInteger}) << text;
        EXPECT_EQ(focused(), idText(ControlId::PortEdit)) << text;
        EXPECT_EQ(edit(idText(ControlId::PortEdit))->text(), text)
            << "the typed text stays for correcting";
        EXPECT_EQ(dlg.settings().port, 110);
        dlg.hide();
    }
    warnings.clear();
    for (const auto& [text, value] : {std::pair{" 110 ", 110}, {"0", 0}, {"-1", -1}}) {
        EXPECT_TRUE(okWithPort(text)) << text;
        EXPECT_EQ(dlg.settings().port, value) << text;
    }
    EXPECT_TRUE(warnings.empty());
}

// Correcting the reported field each time walks the fields in exchange order, one box each.
TEST_F(SettingsDialog, OnlyTheFirstRefusedFieldInExchangeOrderIsReported) {
    dlg.settings().timeout = 0;
    dlg.show();
    for (const QString& id : {idText(ControlId::QuickLoginEdit), idText(ControlId::SmtpPortEdit),
                              idText(ControlId::PortEdit), idText(ControlId::LinesEdit)})
        edit(id)->setText("x");
    for (const QString& id : {idText(ControlId::LinesEdit), idText(ControlId::PortEdit),
                              idText(ControlId::SmtpPortEdit), idText(ControlId::QuickLoginEdit)}) {
        warnings.clear();
        button(idText(ControlId::Ok))->click();
        ASSERT_TRUE(dlg.isVisible());
        EXPECT_EQ(warnings, std::vector<QString>{notAnInteger}) << id;
        EXPECT_EQ(focused(), id);
        edit(id)->setText("7");
    }
    warnings.clear();
    button(idText(ControlId::Ok))->click();
    EXPECT_EQ(warnings, std::vector<QString>{timeoutRange}) << "the hidden field comes last";
    Nine unchanged = before;
    std::get<7>(unchanged) = 0;
    EXPECT_EQ(stored(dlg), unchanged);
}

TEST_F(SettingsDialog, AvbrytOrEscapeAfterARefusedOkKeepsAllNineValues) {
    for (const bool escape : {false, true}) {
        dlg.show();
        // All fields read before the refused "QuickLogin" pass: a dialog that took them over one
        // by one would keep them.
        const std::vector<std::pair<QString, const char*>> typed = {
            {idText(ControlId::LinesEdit), "20"},
            {idText(ControlId::PortEdit), "995"},
            {idText(ControlId::HeloEdit), "host"},
            {idText(ControlId::SmtpServerEdit), "mail.example.net"},
            {idText(ControlId::SmtpPortEdit), "465"},
            {idText(ControlId::AddressEdit), "b@x"},
            {idText(ControlId::QuickLoginEdit), "many"},
            {idText(ControlId::DnsEdit), "192.0.2.53"}};
        for (const auto& [id, text] : typed)
            edit(id)->setText(text);
        button(idText(ControlId::Ok))->click();
        ASSERT_TRUE(dlg.isVisible());
        EXPECT_EQ(focused(), idText(ControlId::QuickLoginEdit));

        if (escape)
            QTest::keyClick(edit(idText(ControlId::QuickLoginEdit)), Qt::Key_Escape);
        else
            button(idText(ControlId::Cancel))->click();
        EXPECT_FALSE(dlg.isVisible());
        EXPECT_EQ(stored(dlg), before) << (escape ? "Escape" : "Avbryt");
        dlg.show();
        EXPECT_EQ(edit(idText(ControlId::PortEdit))->text(), "110")
            << "the next opening shows the kept values";
        dlg.hide();
    }
}

TEST_F(SettingsDialog, OkTakesEveryFieldAsTypedAndTheNextOpeningShowsIt) {
    dlg.show();
    EXPECT_EQ(edit(idText(ControlId::AddressEdit))->text(), QStringLiteral("Åsa@example.org"));
    EXPECT_EQ(edit(idText(ControlId::TimeoutEdit))->text(), "5");

    const std::vector<std::pair<QString, QString>> typed = {
        {idText(ControlId::LinesEdit), "-3"},
        {idText(ControlId::PortEdit), "2110"},
        {idText(ControlId::HeloEdit), QStringLiteral("  två ord  ")}, // no trimming
        {idText(ControlId::SmtpServerEdit), ""},
        {idText(ControlId::SmtpPortEdit), "587"},
        {idText(ControlId::AddressEdit), QStringLiteral("Örjan@example.se")},
        {idText(ControlId::QuickLoginEdit), "0"},
        {idText(ControlId::DnsEdit), "ns.example.se"}};
    for (const auto& [id, text] : typed)
        edit(id)->setText(text);
    QTest::keyClick(edit(idText(ControlId::DnsEdit)),
                    Qt::Key_Return); // Enter is OK, from any field
    ASSERT_FALSE(dlg.isVisible());
    const Nine after = {-3, 2110, "  två ord  ",  "", 587, "Örjan@example.se",
                        0,  5,    "ns.example.se"};
    EXPECT_EQ(stored(dlg), after);

    dlg.show();
    for (const auto& [id, text] : typed)
        EXPECT_EQ(edit(id)->text(), text) << id;
    EXPECT_EQ(focused(), idText(ControlId::QuickLoginEdit))
        << "each opening starts in the first field";
}

TEST_F(SettingsDialog, TimeoutIsCheckedAgainstItsRangeThoughItIsHidden) {
    for (const int minutes : {11, 0}) {
        warnings.clear();
        dlg.settings().timeout = minutes;
        dlg.show();
        edit(idText(ControlId::PortEdit))->setFocus();
        button(idText(ControlId::Ok))->click();
        EXPECT_TRUE(dlg.isVisible()) << minutes;
        EXPECT_EQ(warnings, std::vector<QString>{timeoutRange}) << minutes;
        EXPECT_EQ(focused(), idText(ControlId::PortEdit)) << "the focus stays where it was";
        button(idText(ControlId::Cancel))->click();
    }
    for (const int minutes : {1, 10}) {
        dlg.settings().timeout = minutes;
        EXPECT_TRUE(okWithPort("110")) << minutes;
    }
}

TEST_F(SettingsDialog, WindowHiddenRowAndTabOrder) {
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Inställningar"));
    EXPECT_FALSE(dlg.windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint));
    EXPECT_TRUE(dlg.windowFlags() & Qt::WindowTitleHint);
    EXPECT_TRUE(button(idText(ControlId::Ok))->isDefault());
    EXPECT_EQ(button(idText(ControlId::Cancel))->text(), "Avbryt");

    dlg.show();
    EXPECT_EQ(edit(idText(ControlId::PortEdit))->accessibleName(), "Pop3-port:");
    ASSERT_NE(edit(idText(ControlId::TimeoutEdit)), nullptr);
    EXPECT_FALSE(edit(idText(ControlId::TimeoutEdit))->isVisible());
    int hiddenLabels = 0;
    for (const QLabel* label : dlg.findChildren<QLabel*>()) {
        const bool timeoutRow = label->text() == QStringLiteral("Koppla från efter") ||
                                label->text() == QStringLiteral("minuters inaktivitet.");
        hiddenLabels += timeoutRow;
        EXPECT_EQ(label->isVisible(), !timeoutRow) << label->text().toStdString();
    }
    EXPECT_EQ(hiddenLabels, 2);

    EXPECT_EQ(focused(), idText(ControlId::QuickLoginEdit));
    std::vector<QString> tabOrder;
    for (QWidget* w = dlg.nextInFocusChain(); w != &dlg; w = w->nextInFocusChain())
        if (w->isVisible() && (w->focusPolicy() & Qt::TabFocus)) {
            tabOrder.push_back(w->objectName());
            EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
        }
    EXPECT_EQ(tabOrder, (std::vector<QString>{
                            idText(ControlId::QuickLoginEdit), idText(ControlId::LinesEdit),
                            idText(ControlId::PortEdit), idText(ControlId::SmtpPortEdit),
                            idText(ControlId::HeloEdit), idText(ControlId::SmtpServerEdit),
                            idText(ControlId::AddressEdit), "1", "2", idText(ControlId::DnsEdit)}));
}

// The modal run as the main window sees it, with the real warning box.
TEST(SettingsDialogRun, RunReturnsOneForOkAndTwoForAvbrytAndWarnsInABox) {
    CSettingsDlg dlg;
    fill(dlg, before);
    QTimer watchdog; // whatever goes wrong, no modal loop outlives the test
    QObject::connect(&watchdog, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    watchdog.start(5000);

    QTimer::singleShot(
        0, &dlg, [&] { QTest::keyClick(edit(dlg, idText(ControlId::LinesEdit)), Qt::Key_Enter); });
    EXPECT_EQ(DialogResult::run(dlg), DialogResult::ok);
    QTimer::singleShot(0, &dlg, [&] { dlg.findChild<QPushButton*>("2")->click(); });
    EXPECT_EQ(DialogResult::run(dlg), DialogResult::cancel);

    // An empty port: the box comes up over the dialog, which stays open behind it.
    bool boxShown = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll.stop();
        boxShown = true;
        EXPECT_EQ(box->windowTitle(), "Maroket");
        EXPECT_EQ(box->text(), notAnInteger);
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        EXPECT_EQ(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
        box->button(QMessageBox::Ok)->click();
        QTimer::singleShot(0, &dlg, [&] {
            EXPECT_TRUE(dlg.isVisible());
            EXPECT_EQ(dlg.focusWidget(), edit(dlg, idText(ControlId::PortEdit)));
            QTest::keyClick(dlg.focusWidget(), Qt::Key_Escape);
        });
    });
    QTimer::singleShot(0, &dlg, [&] {
        edit(dlg, idText(ControlId::PortEdit))->clear();
        poll.start(10);
        dlg.findChild<QPushButton*>("1")->click();
    });
    EXPECT_EQ(DialogResult::run(dlg), DialogResult::cancel);
    EXPECT_TRUE(boxShown);
    EXPECT_EQ(stored(dlg), before);
}
