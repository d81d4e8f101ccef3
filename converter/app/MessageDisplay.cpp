#include "MessageDisplay.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <cstdio>

namespace {

bool NoScreen() {
    return QGuiApplication::platformName() == QLatin1String("offscreen");
}

void Print(std::FILE* stream, QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    std::fputs(qPrintable(text + QLatin1Char('\n')), stream);
    std::fflush(stream);
}

} // namespace

void ShowErrorMessage(QWidget* parent, const QString& text) {
    if (NoScreen()) {
        Print(stderr, QStringLiteral("formshift: ") + text);
        return;
    }
    QMessageBox::critical(parent, QStringLiteral("Formshift"), text);
}

void ShowInformation(QWidget* parent, const QString& title, const QString& text) {
    if (NoScreen()) {
        Print(stdout, text);
        return;
    }
    QMessageBox::information(parent, title, text);
}
