#pragma once
// A throw-away user for one test: HOME, the XDG folders, the temporary folder
// and the registry root lie in a temporary folder, so nothing a test installs or
// removes touches the real profile. Installs the demo application there and runs
// the uninstaller against it.
#include "ScopedEnvironment.h"

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QPair>
#include <QProcess>
#include <QSet>
#include <QStringList>
#include <QTemporaryDir>

#include <ostream>

// Readable paths in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

class TDemoProfile : public ScopedEnvironment {
  public:
    TDemoProfile() {
        const QString root = FRoot.path();
        Set("HOME", Home());
        Set("XDG_DATA_HOME", Home() + "/.local/share");
        Set("XDG_CONFIG_HOME", Home() + "/.config");
        Set("XDG_CACHE_HOME", Home() + "/.cache");
        Set("XDG_STATE_HOME", Home() + "/.local/state");
        Set("BRENVALE_REGISTRY_ROOT", root + "/registry");
        Set("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + root + "/no-bus");
        Set("QT_QPA_PLATFORM", "offscreen");
        for (const char* name : {"LOCALAPPDATA", "APPDATA", "TEMP", "TMP", "USERPROFILE", "SYSTEMROOT",
                                 "TMPDIR", "XDG_RUNTIME_DIR", "DISPLAY", "WAYLAND_DISPLAY"})
            Unset(name);
        for (const QString& folder :
             {Home(), ApplicationsDir(), DesktopDir(), root + "/registry", root + "/work"})
            QDir().mkpath(folder);
    }

    QString Root() const { return FRoot.path(); }
    QString Home() const { return FRoot.path() + "/home"; }
    // A blank in the names keeps every path honest about quoting.
    QString InstallDir() const { return FRoot.path() + "/opt/Brenvale Demo"; }
    QString DataDir() const { return Home() + "/.local/share/BrenvaleSoftware/Brenvale Demo"; }
    QString ApplicationsDir() const { return Home() + "/.local/share/applications"; }
    QString DesktopDir() const { return Home() + "/Desktop"; }
    QString ReportPath() const { return InstallDir() + "/InstallReport.ini"; }
    QString WorkDir() const { return FRoot.path() + "/work"; }
    static QString Record() { return QStringLiteral("Software\\BrenvaleSoftware\\Brenvale Demo"); }

    static QString UninstallerPath() {
        return QStringLiteral(BRENVALE_BINARY_DIR "/bin/brenvale-uninstaller");
    }
    static QString InstallerPath() {
        return QStringLiteral(BRENVALE_BINARY_DIR "/tests/brenvale-demo-installer");
    }

    // Runs the demo installer; true when it installed everything.
    bool Install(const QStringList& extra = {}) const {
        QProcess installer;
        installer.start(InstallerPath(),
                        QStringList{"--install-dir", InstallDir(), "--data-dir", DataDir()} + extra);
        return installer.waitForFinished(30000) && installer.exitStatus() == QProcess::NormalExit &&
               installer.exitCode() == 0;
    }

    // Things of the user's that no uninstall of the demo may touch.
    void PlaceNeighbours() const {
        WriteFile(ApplicationsDir() + "/Other App.desktop", "[Desktop Entry]\n");
        WriteFile(DesktopDir() + "/Brenvale Demo.txt", "notes\n");
        WriteFile(DesktopDir() + "/Brenvale Demo (copy).desktop", "[Desktop Entry]\n");
        WriteFile(FRoot.path() + "/opt/Other App/other", "other\n");
        WriteFile(Home() + "/.local/share/BrenvaleSoftware/Other App/settings.ini", "[A]\n");
        WriteFile(Home() + "/Documents/letter.txt", "Dear\n");
    }

    static void WriteFile(const QString& path, const QByteArray& contents) {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(contents);
    }

    // Where a test keeps its own instruments, outside every snapshot.
    QString InstrumentsDir() const { return FRoot.path() + "/instruments"; }

    // Every file, folder and link of the profile except the registry's databases
    // and the cache, which the programs may use for themselves, and the test's
    // instruments.
    QSet<QString> Snapshot() const {
        QSet<QString> entries;
        QDirIterator it(Root(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next().mid(Root().size());
            if (!path.startsWith("/registry") && !path.startsWith("/home/.cache") &&
                !path.startsWith("/instruments"))
                entries.insert(path);
        }
        return entries;
    }

    struct TRun {
        int ExitCode = -1;
        QByteArray Output;
        QByteArray Errors;
    };
    // Runs the uninstaller directly (this test is its parent, no shell) or from bash.
    TRun RunUninstaller(const QStringList& arguments, bool fromShell = false,
                        const QString& program = UninstallerPath()) const {
        QProcess process;
        process.setWorkingDirectory(WorkDir());
        if (fromShell)
            // A command after the program keeps bash from replacing itself by it.
            process.start("/bin/bash", QStringList{"-c", "\"$0\" \"$@\"; exit $?", program} + arguments);
        else
            process.start(program, arguments);
        TRun run;
        if (!process.waitForFinished(60000)) process.kill();
        run.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.Output = process.readAllStandardOutput();
        run.Errors = process.readAllStandardError();
        return run;
    }

  private:
    QTemporaryDir FRoot;
};
