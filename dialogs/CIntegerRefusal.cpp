#include "dialogs/CIntegerRefusal.h"

#include "dialogs/CIntegerRule.h"
#include "dialogs/CUiLanguage.h"
#include "dialogs/CUiText.h"

#include <QLineEdit>
#include <QMessageBox>

#include <string>

bool CIntegerRefusal::readInteger(QLineEdit* edit, int& value) {
    // A character outside ASCII becomes UTF-8 bytes, which the rule refuses like any other.
    if (CIntegerRule::parse(CUiText::toBytes(edit->text()), value))
        return true;
    refuse(edit, CUiLanguage::translate("CIntegerRule", CIntegerRule::notAnInteger.data()));
    return false;
}

void CIntegerRefusal::refuse(QLineEdit* edit, const QString& text) {
    if (warningHook_) {
        warningHook_(text);
    } else {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Maroket"), text, QMessageBox::Ok,
                        dialog_);
        box.exec();
    }
    if (edit->isVisibleTo(dialog_)) {
        edit->setFocus();
        edit->selectAll();
    }
}
