#pragma once
// What a themed form tells its direct child controls after it moved or was
// resized, so that controls showing what lies behind the window can follow.
#include <QEvent>

class FXFormMovedEvent : public QEvent {
  public:
    FXFormMovedEvent() : QEvent(Type()) {}
    static QEvent::Type Type() {
        static const auto type = QEvent::Type(QEvent::registerEventType());
        return type;
    }
};

class FXFormResizedEvent : public QEvent {
  public:
    FXFormResizedEvent() : QEvent(Type()) {}
    static QEvent::Type Type() {
        static const auto type = QEvent::Type(QEvent::registerEventType());
        return type;
    }
};
