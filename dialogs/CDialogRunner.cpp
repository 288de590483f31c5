#include "dialogs/CDialogRunner.h"

#include "dialogs/DialogResult.h"

#include <QDialog>
#include <QMessageBox>

int CDialogRunner::run(QDialog& dialog) {
    return DialogResult::run(dialog);
}

bool CDialogRunner::askYesNo(const QString& text) {
    return QMessageBox::question(parent_, QStringLiteral("Maroket"), text,
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void CDialogRunner::notify(const QString& text) {
    QMessageBox::information(parent_, QStringLiteral("Maroket"), text);
}
