#pragma once
// The one application object of a test binary, on Qt's offscreen platform. It
// is never destroyed: tests end with the process.
#include <QApplication>
#include <QByteArray>

inline QApplication& TestApplication() {
    static QApplication* app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "brenvale_tests";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    return *app;
}
