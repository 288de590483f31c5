#include "dialogs/CSignInWaitDlg.h"

#include "dialogs/CDialogUnits.h"
#include "dialogs/CUiText.h"
#include "dialogs/IdText.h"
#include "resources/CStringTable.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

CSignInWaitDlg::CSignInWaitDlg(const std::string& providerTitle, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("Logga in"));
    setAccessibleName(windowTitle());
    setFont(CDialogUnits::dialogFont());

    const QString text =
        CUiText::toQString(CStringTable::load(StringId::OAuthWaitText, providerTitle));
    text_ = new QLabel(text, this);
    text_->setWordWrap(true);
    text_->setAccessibleName(text);
    // A bar without a range moves to and fro: the program waits, it has not stopped.
    auto* busy = new QProgressBar(this);
    busy->setRange(0, 0);
    busy->setTextVisible(false);
    busy->setAccessibleName(text);
    auto* cancel = new QPushButton(tr("Avbryt"), this);
    cancel->setObjectName(idText(ControlId::Cancel));
    cancel->setAccessibleName(cancel->text());
    cancel->setDefault(true);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    const CDialogUnits du(font());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(busy);
    layout->addWidget(cancel, 0, Qt::AlignHCenter);
    text_->setMinimumWidth(du.x(180));
    cancel->setFocus();
}
