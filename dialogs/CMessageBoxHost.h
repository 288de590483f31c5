#pragma once

#include "platform/IMessageBoxHost.h"

#include <QPointer>
#include <QWidget>

// The core's message boxes: "Maroket", an information icon and OK; waits until the user
// answers.
class CMessageBoxHost : public IMessageBoxHost {
public:
    explicit CMessageBoxHost(QWidget* parent = nullptr) : parent_(parent) {}

    void showMessage(const std::string& text) override;

private:
    QPointer<QWidget> parent_;
};
