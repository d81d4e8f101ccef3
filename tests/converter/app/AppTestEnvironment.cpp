#include "AppTestEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The offscreen platform says so whenever a window is raised or grabs the
// keyboard; that is expected here and would only bury real messages.
QtMessageHandler PreviousHandler = nullptr;

void QuietOffscreenNotes(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("This plugin does not support"))) return;
    if (PreviousHandler) PreviousHandler(type, context, message);
}

class AppTestEnvironment : public testing::Environment {
  public:
    void SetUp() override {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        FHome = std::make_unique<QTemporaryDir>();
        QDir(FHome->path()).mkpath(QStringLiteral("run"));
        QDir(FHome->path()).mkpath(QStringLiteral("data"));
        QFile::setPermissions(FHome->filePath(QStringLiteral("run")),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(FHome->filePath(QStringLiteral("run"))));
        qputenv("XDG_DATA_HOME", QFile::encodeName(FHome->filePath(QStringLiteral("data"))));
        static int argc = 1;
        static char name[] = "formshift_app_tests";
        static char* argv[] = {name, nullptr};
        FApplication = std::make_unique<QApplication>(argc, argv);
        PreviousHandler = qInstallMessageHandler(QuietOffscreenNotes);
    }
    void TearDown() override {
        FApplication.reset();
        FHome.reset();
    }
    QString Home() const { return FHome->path(); }

  private:
    std::unique_ptr<QTemporaryDir> FHome;
    std::unique_ptr<QApplication> FApplication;
};

AppTestEnvironment* const Environment =
    static_cast<AppTestEnvironment*>(testing::AddGlobalTestEnvironment(new AppTestEnvironment));

} // namespace

QString TestHome() {
    return Environment->Home();
}
