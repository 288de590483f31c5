#pragma once

#include "dialogs/CIntegerRefusal.h"
#include "platform/AppSettings.h"

#include "resources/WindowIds.h"

#include <QDialog>
#include <QRect>

#include <functional>
#include <string>
#include <utility>

class QLabel;
class QLineEdit;
class QPushButton;

// "Inställningar": edits the nine settings in place. The main window keeps one object for its
// whole life and hands its settings in once; each showing puts the current values into the
// edits, and only an OK on which every field passes takes them back. The dialog never touches the
// settings store. Text fields are UTF-8, as in the rest of the core.
class CSettingsDlg : public QDialog {
    Q_OBJECT

public:
    using WarningHook = CIntegerRefusal::WarningHook;

    explicit CSettingsDlg(QWidget* parent = nullptr);

    // The values the dialog shows and, after an OK on which every field passed, holds: the main
    // window hands its settings in here and takes them back from here.
    AppSettings& settings() { return settings_; }
    const AppSettings& settings() const { return settings_; }

    // Runs through DialogResult::run: DialogResult::ok (1) after an OK on which every field passed,
    // DialogResult::cancel (2) after Avbryt or Escape.

    void setWarningHook(WarningHook hook) { refusal_.setWarningHook(std::move(hook)); }

    // OK and Enter: read every field, in the fixed order, or none.
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildListFields();
    void buildServerFields();
    void buildButtons();
    QLabel* addLabel(const QString& text, QRect units, Qt::Alignment align);
    QLineEdit* addEdit(ControlId id, QLabel* caption, QRect at);
    QLineEdit* addField(ControlId id, const QString& caption, QRect captionAt, Qt::Alignment align,
                        QRect at);
    void putFields();

    AppSettings settings_;

    CIntegerRefusal refusal_;

    QLineEdit* quickLoginEdit_ = nullptr;
    QLineEdit* linesEdit_ = nullptr;
    QLineEdit* timeoutEdit_ = nullptr;
    QLineEdit* portEdit_ = nullptr;
    QLineEdit* smtpPortEdit_ = nullptr;
    QLineEdit* heloEdit_ = nullptr;
    QLineEdit* smtpServerEdit_ = nullptr;
    QLineEdit* addressEdit_ = nullptr;
    QLineEdit* dnsEdit_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};
