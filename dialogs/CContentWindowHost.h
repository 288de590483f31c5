#pragma once

#include "dialogs/IContentHost.h"

#include <QPointer>
#include <QWidget>

// The core's content window: "Innehåll" with the text, modal; returns when it is closed.
class CContentWindowHost : public IContentHost {
public:
    explicit CContentWindowHost(QWidget* parent = nullptr) : parent_(parent) {}

    void showContent(const std::string& text) override;

private:
    QPointer<QWidget> parent_;
};
