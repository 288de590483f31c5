#include "QStringOutput.h"
#include "dialogs/CDialogUnits.h"
#include "dialogs/CMarkDlgBase.h"
#include "dialogs/CMarkNumberDlg.h"
#include "dialogs/CMarkSizeDlg.h"
#include "dialogs/CMarkTextDlg.h"
#include "dialogs/DialogResult.h"
#include "dialogs/IdText.h"

#include "DialogDriver.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>
#include <vector>

using namespace dialogdriver;

namespace {

struct Layout {
    ControlId resource;
    const char* label;
    QRect labelAt;
    std::vector<std::pair<QString, QRect>> fields; // in tab order
    std::vector<QString> initial;
};

template <class T> std::unique_ptr<CMarkDlgBase> make() {
    return std::make_unique<T>();
}

template <CMarkTextDlg::Criterion criterion> std::unique_ptr<CMarkDlgBase> makeText() {
    return std::make_unique<CMarkTextDlg>(criterion);
}

TEST(MarkDlgs, LaidOutFromDialogUnitsWithInitialValuesAndTabOrder) {
    const std::vector<std::pair<std::unique_ptr<CMarkDlgBase> (*)(), Layout>> dialogs = {
        {make<CMarkNumberDlg>,
         {ControlId::MarkNumberDlg,
          "Markera alla brev från",
          {7, 15, 70, 8},
          {{idText(ControlId::MarkFirstEdit), {84, 13, 17, 12}},
           {idText(ControlId::MarkLastEdit), {125, 13, 17, 12}}},
          {"0", "0"}}},
        {make<CMarkSizeDlg>,
         {ControlId::MarkSizeDlg,
          "Markera alla brev större än",
          {7, 15, 85, 8},
          {{idText(ControlId::MarkAmountEdit), {97, 13, 23, 12}},
           {idText(ControlId::MarkUnitList), {131, 13, 40, 12}}},
          {"0", "MB"}}},
        {makeText<CMarkTextDlg::Criterion::Sender>,
         {ControlId::MarkSenderDlg,
          "Markera alla brev från:",
          {7, 15, 72, 8},
          {{idText(ControlId::MarkSenderEdit), {84, 13, 95, 12}}},
          {""}}},
        {makeText<CMarkTextDlg::Criterion::Subject>,
         {ControlId::MarkSubjectDlg,
          "Markera alla brev med subject:",
          {7, 15, 98, 8},
          {{idText(ControlId::MarkSubjectEdit), {107, 13, 72, 12}}},
          {""}}},
    };
    for (const auto& dialog : dialogs) {
        const auto& create = dialog.first;
        const auto& layout = dialog.second;
        SCOPED_TRACE(idNumber(layout.resource));
        const std::unique_ptr<CMarkDlgBase> owned = create();
        CMarkDlgBase& dlg = *owned;
        const CDialogUnits du(dlg.font());
        // Where a text needs more room than its units and the room beside it give, the whole
        // layout grows alike; a control grown into the room beside it still covers its units.
        const double sx = double(dlg.width()) / du.x(186);
        const double sy = double(dlg.height()) / du.y(60);
        EXPECT_TRUE(sx >= 1.0 && sy >= 1.0);
        const auto at = [&](QRect r) {
            const QRect p = du.rect(r.x(), r.y(), r.width(), r.height());
            return QRect(int(p.x() * sx), int(p.y() * sy), int(p.width() * sx),
                         int(p.height() * sy));
        };
        const auto covers = [&](QWidget* w, QRect r) {
            return w->geometry().contains(at(r).adjusted(1, 1, -1, -1));
        };
        EXPECT_EQ(dlg.objectName(), idText(layout.resource));
        EXPECT_EQ(dlg.windowTitle(), "Markera");
        EXPECT_TRUE(dlg.windowFlags() & Qt::WindowSystemMenuHint);

        QLabel* label = nullptr;
        for (QLabel* l : dlg.findChildren<QLabel*>())
            if (l->text() == QString::fromUtf8(layout.label))
                label = l;
        ASSERT_TRUE(label);
        EXPECT_TRUE(covers(label, layout.labelAt));
        EXPECT_LE(label->sizeHint().width(), label->width());

        auto* ok = control<QPushButton>(dlg, idText(ControlId::Ok));
        auto* cancel = control<QPushButton>(dlg, idText(ControlId::Cancel));
        ASSERT_TRUE(ok && cancel);
        EXPECT_TRUE(covers(ok, {71, 39, 50, 14}));
        EXPECT_TRUE(covers(cancel, {129, 39, 50, 14}));
        EXPECT_EQ(cancel->text(), "Avbryt");
        EXPECT_TRUE(ok->isDefault());

        runDriven(dlg, [&] {
            // Tab walks the fields in order, then OK and "Avbryt", from the first field.
            for (std::size_t i = 0; i < layout.fields.size(); ++i) {
                const auto& [id, rect] = layout.fields[i];
                QWidget* field = control(dlg, id);
                ASSERT_TRUE(field);
                EXPECT_TRUE(covers(field, rect)) << id;
                EXPECT_NEAR(field->x(), at(rect).x(), 1) << id;
                EXPECT_FALSE(field->accessibleName().isEmpty()) << id;
                if (auto* edit = qobject_cast<QLineEdit*>(field))
                    EXPECT_EQ(edit->text(), layout.initial[i]) << id;
                else
                    EXPECT_EQ(qobject_cast<QComboBox*>(field)->currentText(), layout.initial[i]);
                EXPECT_EQ(focusedControl(dlg), field) << id;
                pressKey(dlg, Qt::Key_Tab);
            }
            EXPECT_EQ(focusedControl(dlg), ok);
            pressKey(dlg, Qt::Key_Tab);
            EXPECT_EQ(focusedControl(dlg), cancel);
            pressKey(dlg, Qt::Key_Escape);
        });
    }
}

TEST(MarkDlgs, SizeUnitListSelectsMegabytesWhenItOpens) {
    CMarkSizeDlg dlg;
    auto* units = control<QComboBox>(dlg, idText(ControlId::MarkUnitList));
    ASSERT_TRUE(units);
    ASSERT_EQ(units->count(), 3);
    EXPECT_EQ(units->itemText(0), "MB");
    EXPECT_EQ(units->itemText(1), "kB");
    EXPECT_EQ(units->itemText(2), "bytes");
    EXPECT_EQ(units->currentIndex(), -1);
    EXPECT_EQ(dlg.unit(), -1);
    const int result = runDriven(dlg, [&] {
        EXPECT_EQ(units->currentIndex(), 0);
        typeText(control(dlg, idText(ControlId::MarkAmountEdit)), QStringLiteral("25"));
        units->setCurrentIndex(2);
        pressKey(dlg, Qt::Key_Return);
    });
    EXPECT_EQ(result, DialogResult::ok);
    EXPECT_EQ(dlg.amount(), 25) << "the typed text replaces the selected 0";
    EXPECT_EQ(dlg.unit(), 2);
}

// The integer rule of the settings dialog: the first refused field in order keeps the dialog
// open with the focus, and no field is taken until both pass.
TEST(MarkDlgs, NumberFieldsAreReadInOrderAndOnlyTogether) {
    CMarkNumberDlg dlg;
    std::vector<QString> warnings;
    dlg.setWarningHook([&](const QString& text) { warnings.push_back(text); });
    const int result = runDriven(dlg, [&] {
        auto* first = control<QLineEdit>(dlg, idText(ControlId::MarkFirstEdit));
        auto* last = control<QLineEdit>(dlg, idText(ControlId::MarkLastEdit));
        auto* ok = control<QPushButton>(dlg, idText(ControlId::Ok));
        first->setText("");
        last->setText("x");
        ok->click();
        EXPECT_EQ(focusedControl(dlg), first);
        first->setText(" -2\t");
        ok->click();
        EXPECT_EQ(focusedControl(dlg), last);
        last->setText("+0");
        ok->click();
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_EQ(dlg.first(), 0) << "nothing taken from a refused OK";
        last->setText("+7 ");
        ok->click();
    });
    EXPECT_EQ(result, DialogResult::ok);
    EXPECT_EQ(warnings, std::vector<QString>(3, "Please enter an integer."));
    EXPECT_EQ(dlg.first(), -2);
    EXPECT_EQ(dlg.last(), 7);
}

TEST(MarkDlgs, TextsAreTakenAsTypedAndEscapeTakesNothing) {
    {
        CMarkTextDlg dlg(CMarkTextDlg::Criterion::Sender);
        EXPECT_EQ(runDriven(dlg,
                            [&] {
                                typeText(control(dlg, idText(ControlId::MarkSenderEdit)),
                                         QStringLiteral(" Åke "));
                                pressKey(dlg, Qt::Key_Return);
                            }),
                  DialogResult::ok);
        EXPECT_EQ(dlg.text(), " Åke ");
    }
    {
        CMarkTextDlg dlg(CMarkTextDlg::Criterion::Subject);
        EXPECT_EQ(runDriven(dlg,
                            [&] {
                                typeText(control(dlg, idText(ControlId::MarkSubjectEdit)),
                                         QStringLiteral("Räkning"));
                                pressKey(dlg, Qt::Key_Escape);
                            }),
                  DialogResult::cancel);
        EXPECT_EQ(dlg.text(), "");
    }
}

} // namespace
