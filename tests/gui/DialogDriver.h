#pragma once

#include "QStringOutput.h"
#include "dialogs/DialogResult.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace dialogdriver {

// Runs the dialog the way its caller does (DialogResult::run, which blocks) and lets `drive` act on
// it once it is open and active. A dialog that is still open after `drive` is a failure and is
// cancelled, so a test never hangs.
template <class Dialog> int runDriven(Dialog& dlg, const std::function<void()>& drive) {
    bool driven = false;
    QTimer::singleShot(0, &dlg, [&] {
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dlg));
        drive();
        driven = true;
        if (dlg.isVisible()) {
            ADD_FAILURE() << "the dialog did not end";
            dlg.reject();
        }
    });
    const int result = DialogResult::run(dlg);
    EXPECT_TRUE(driven);
    return result;
}

template <class T = QWidget> T* control(QWidget& dlg, const QString& id) {
    T* found = dlg.findChild<T*>(id);
    EXPECT_TRUE(found) << "no control " << id;
    return found;
}

// The control that has the keyboard, or nullptr when the dialog itself holds it.
inline QWidget* focusedControl(QWidget& dlg) {
    QWidget* focus = QApplication::focusWidget();
    return focus == &dlg ? nullptr : focus;
}

// Types text character by character as key events carrying that text, the way an input
// method delivers letters that have no key of their own (QTest::keyClicks knows ASCII only).
inline void typeText(QWidget* target, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(target, &press);
        QApplication::sendEvent(target, &release);
    }
}

inline void pressKey(QWidget& dlg, Qt::Key key) {
    QWidget* target = QApplication::focusWidget();
    QTest::keyClick(target ? target : &dlg, key);
}

} // namespace dialogdriver
