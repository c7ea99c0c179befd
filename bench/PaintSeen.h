#pragma once

#include <QEvent>
#include <QObject>

// Notes that the widget it is installed on has been sent a paint event.
class PaintSeen : public QObject {
public:
    bool seen = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            seen = true;
        return false;
    }
};
