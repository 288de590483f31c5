#pragma once

#include "dialogs/IDialogRunner.h"

#include <QDialog>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <typeinfo>

// Answers the main window's modal interactions from a script, in order, and fails the test on
// any prompt the script did not expect.
class CScriptedDialogRunner : public IDialogRunner {
public:
    ~CScriptedDialogRunner() override {
        EXPECT_TRUE(steps_.empty()) << steps_.size() << " scripted interaction(s) never came";
    }

    // The next interaction runs a dialog of type T; answer fills it and returns 1 or 2.
    template <class T> void expectDialog(std::function<int(T&)> answer) {
        steps_.push_back([answer](QDialog* d, const QString&) {
            T* dialog = dynamic_cast<T*>(d);
            EXPECT_NE(dialog, nullptr) << "expected a " << typeid(T).name();
            return dialog ? answer(*dialog) : 2;
        });
    }
    void expectQuestion(bool yes, QString* asked = nullptr) {
        steps_.push_back([yes, asked](QDialog* d, const QString& text) {
            EXPECT_EQ(d, nullptr) << "expected a question";
            if (asked)
                *asked = text;
            return yes ? 1 : 2;
        });
    }
    void expectNotice(QString* shown = nullptr) { expectQuestion(true, shown); }

    int run(QDialog& dialog) override { return next(&dialog, {}); }
    bool askYesNo(const QString& text) override { return next(nullptr, text) == 1; }
    void notify(const QString& text) override { next(nullptr, text); }

private:
    int next(QDialog* dialog, const QString& text) {
        if (steps_.empty()) {
            ADD_FAILURE() << "unexpected prompt: "
                          << (dialog ? typeid(*dialog).name() : text.toStdString());
            return 2;
        }
        auto step = std::move(steps_.front());
        steps_.pop_front();
        return step(dialog, text);
    }

    std::deque<std::function<int(QDialog*, const QString&)>> steps_;
};
