#pragma once

#include "dialogs/IDialogRunner.h"

class QWidget;

// Runs the real dialogs and message boxes (titled "Maroket").
class CDialogRunner : public IDialogRunner {
public:
    explicit CDialogRunner(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    int run(QDialog& dialog) override;
    bool askYesNo(const QString& text) override;
    void notify(const QString& text) override;

private:
    QWidget* parent_;
};
