#include "dialogs/CMessageBoxHost.h"

#include "dialogs/CUiText.h"

#include <QMessageBox>

void CMessageBoxHost::showMessage(const std::string& text) {
    QMessageBox box(QMessageBox::Information, QStringLiteral("Maroket"), CUiText::toQString(text),
                    QMessageBox::Ok, parent_.data());
    box.exec();
}
