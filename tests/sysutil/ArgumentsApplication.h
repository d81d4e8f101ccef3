#pragma once
// One QGuiApplication for a test binary, on the offscreen platform, started with
// fixed arguments that the command-line tests read back, whichever test starts it.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <vector>

class ArgumentsApplication {
  public:
    static QGuiApplication* Start() {
        static ArgumentsApplication& instance = *new ArgumentsApplication(
            {QStringLiteral("sysutil_tests"), QStringLiteral("-r"), ReportPath(), QStringLiteral("/silent"),
             QStringLiteral("-Silent"), QString(), QStringLiteral("/usr")});
        return instance.FApp;
    }

    // An existing report path with a blank in it, as the uninstaller passes it on.
    static QString ReportPath() {
        static QTemporaryDir folder;
        static const QString path = [] {
            QDir().mkpath(folder.path() + QStringLiteral("/My Files"));
            QFile file(folder.path() + QStringLiteral("/My Files/InstallReport.ini"));
            file.open(QIODevice::WriteOnly);
            return file.fileName();
        }();
        return path;
    }

  private:
    explicit ArgumentsApplication(const QStringList& arguments) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        for (const QString& argument : arguments)
            FStorage.push_back(argument.toUtf8());
        for (QByteArray& argument : FStorage)
            FArgv.push_back(argument.data());
        FArgv.push_back(nullptr);
        FArgc = int(FStorage.size());
        // Never destroyed: at exit Qt's own statics may already be gone.
        FApp = new QGuiApplication(FArgc, FArgv.data());
    }

    std::vector<QByteArray> FStorage;
    std::vector<char*> FArgv;
    int FArgc = 0;
    QGuiApplication* FApp = nullptr;
};
