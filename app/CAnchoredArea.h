#pragma once

#include <QPointer>
#include <QRect>
#include <QWidget>

#include <vector>

// The main window's client area. Its controls keep the places the layout gave them at the
// smallest size; when the window grows, each control follows its anchors: the list takes the
// new room, what lies below it moves down, and the lines across the window widen.
class CAnchoredArea : public QWidget {
public:
    enum Anchor { Stay = 0, GrowWidth = 1, GrowHeight = 2, MoveDown = 4, MoveRight = 8 };

    explicit CAnchoredArea(QWidget* parent) : QWidget(parent) {}

    // Takes the present size as the smallest and each control's present place as its place
    // there; the area may grow from now on.
    void settle();
    void anchor(QWidget* control, int anchors);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Anchored {
        QPointer<QWidget> control;
        int anchors;
        QRect base;
    };
    std::vector<Anchored> anchored_;
    QSize base_;
};
