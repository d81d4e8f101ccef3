#pragma once
// Every widget test of the program runs inside one QApplication on Qt's offscreen
// platform, with private data and runtime folders so that no test meets a
// running copy of the program or the user's own settings.
#include <QString>
#include <ostream>

// The folder the tests' XDG variables point into.
QString TestHome();

// Readable failure messages.
inline void PrintTo(const QString& text, std::ostream* stream) {
    *stream << '"' << text.toStdString() << '"';
}
