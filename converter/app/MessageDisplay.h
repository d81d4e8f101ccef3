#pragma once
// The program's message boxes. Without a screen to show them on (Qt's offscreen
// platform: a background run, tests) nobody could close a box, so the text goes
// to the standard streams instead.
#include <QString>

class QWidget;

// The application's default error display.
void ShowErrorMessage(QWidget* parent, const QString& text);
void ShowInformation(QWidget* parent, const QString& title, const QString& text);
