#pragma once
// The desktop's notice that its colour scheme or accent changed, delivered to
// every top-level window. A themed form answers it with
// ThemeManager->MeasuredUpdateSettings() and its own UpdateTheme(true).
#include <QEvent>

class FXColorizationEvent : public QEvent {
  public:
    FXColorizationEvent() : QEvent(Type()) {}
    static QEvent::Type Type() {
        static const auto type = QEvent::Type(QEvent::registerEventType());
        return type;
    }
};
