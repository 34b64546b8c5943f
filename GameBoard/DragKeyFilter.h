#pragma once
// TDragKeyFilter: while a piece drag is under way, watches the whole application's key
// presses for Escape, wherever the keyboard focus is, and hands it to the board.

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QObject>
#include <functional>
#include <utility>

class TDragKeyFilter : public QObject {
public:
    TDragKeyFilter(QObject* parent, std::function<void()> onEscape)
        : QObject(parent)
        , onEscape_(std::move(onEscape)) { }
    void Watch(bool on) {
        if (on == watching_ || !QCoreApplication::instance()) return;
        watching_ = on;
        if (on)
            QCoreApplication::instance()->installEventFilter(this);
        else
            QCoreApplication::instance()->removeEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) {
            onEscape_();
            return true;
        }
        return QObject::eventFilter(watched, e);
    }

private:
    std::function<void()> onEscape_;
    bool watching_ = false;
};
