#include "dialogs/CMarkDlgBase.h"

#include "dialogs/CDialogUnits.h"
#include "dialogs/CLayoutFit.h"
#include "dialogs/IdText.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include <limits>
#include <string>

CMarkDlgBase::CMarkDlgBase(ControlId dialogId, QWidget* parent) : QDialog(parent), refusal_(this) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setObjectName(idText(dialogId));
    setWindowTitle(tr("Markera"));
    setAccessibleName(windowTitle());
    setFont(CDialogUnits::dialogFont());
    const CDialogUnits du(font());
    setFixedSize(du.x(186), du.y(60));

    okButton_ = new QPushButton(tr("OK"), this);
    okButton_->setObjectName(idText(ControlId::Ok));
    okButton_->setAccessibleName(okButton_->text());
    okButton_->setGeometry(du.rect(71, 39, 50, 14));
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);

    cancelButton_ = new QPushButton(tr("Avbryt"), this);
    cancelButton_->setObjectName(idText(ControlId::Cancel));
    cancelButton_->setAccessibleName(cancelButton_->text());
    cancelButton_->setGeometry(du.rect(129, 39, 50, 14));
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

QLabel* CMarkDlgBase::addLabel(const QString& text, const QRect& units) {
    const CDialogUnits du(font());
    auto* label = new QLabel(text, this);
    label->setGeometry(du.rect(units.x(), units.y(), units.width(), units.height()));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QLineEdit* CMarkDlgBase::addEdit(ControlId id, QLabel* label, const QRect& units) {
    const CDialogUnits du(font());
    auto* edit = new QLineEdit(this);
    edit->setObjectName(idText(id));
    // The label without its colon names the field for screen readers.
    QString name = label->text();
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    edit->setAccessibleName(name);
    label->setBuddy(edit);
    edit->setGeometry(du.rect(units.x(), units.y(), units.width(), units.height()));
    edit->setMaxLength(std::numeric_limits<int>::max());
    return edit;
}

void CMarkDlgBase::setFieldOrder(std::initializer_list<QWidget*> fields) {
    QWidget* previous = nullptr;
    for (QWidget* field : fields) {
        if (previous)
            setTabOrder(previous, field);
        else
            firstField_ = field;
        previous = field;
    }
    setTabOrder(previous, okButton_);
    setTabOrder(okButton_, cancelButton_);
    // The fields are the last controls a dialog adds.
    CLayoutFit::fit(*this);
}

void CMarkDlgBase::showEvent(QShowEvent* event) {
    // A show from the window system (restoring the window) keeps what was typed.
    if (!event->spontaneous()) {
        initDialog();
        if (auto* edit = qobject_cast<QLineEdit*>(firstField_)) {
            edit->setFocus();
            edit->selectAll();
        }
    }
    QDialog::showEvent(event);
}
