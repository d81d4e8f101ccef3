#pragma once
// The uninstaller's one message dialog: a title, a text and "Ok", in the
// library's themed dialog.
#include <QString>

class QWidget;

// True when windows can be shown to someone; false on Qt's offscreen and
// minimal platforms, where no one could ever click "Ok".
bool DisplayAvailable();

// Modal, owned by `owner` when that is visible, otherwise centred on the screen.
// Without a display the text goes to standard error instead ("Help" to standard
// output) and the call returns at once.
void ShowDialog(const QString& title, const QString& text, QWidget* owner = nullptr);
