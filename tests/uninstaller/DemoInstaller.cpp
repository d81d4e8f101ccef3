// Installs a small demo application the way the maker's installer does, so the
// uninstaller has something real to remove: program files, a data folder,
// .desktop shortcuts, a registry record with sub-keys and "InstallReport.ini"
// in the installation folder. Prints the report's path.
#include "SpecialFolders.h"
#include "TWinRegistry.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

bool WriteFile(const QString& path, const QByteArray& contents) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(contents) == contents.size();
}

int Fail(const QString& message, int status = 1) {
    std::fprintf(stderr, "demo installer: %s\n", qPrintable(message));
    return status;
}

QString Folder(const QCommandLineParser& parser, const char* option, UserFolderKind kind) {
    const QString given = parser.value(QString::fromLatin1(option));
    return given.isEmpty() ? UserShellFolder(kind) : given;
}

QByteArray Shortcut(const QString& name, const QString& executable) {
    return "[Desktop Entry]\nType=Application\nName=" + name.toUtf8() + "\nExec=\"" + executable.toUtf8() +
           "\" 3600\nTerminal=false\n";
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription("Installs a demo application for the uninstaller to remove.");
    parser.addHelpOption();
    parser.addOptions({
        {"install-dir", "Installation folder (required).", "folder"},
        {"data-dir", "The application's data folder (required).", "folder"},
        {"name", "Application name, also the shortcuts' file name.", "name", "Brenvale Demo"},
        {"executable", "File name of the main executable.", "file", "brenvale-demo"},
        {"hive", "Registry hive of the record.", "hive", "HKEY_CURRENT_USER"},
        {"record", "Registry record below the hive.", "key"},
        {"all-users", "Report an installation for all users."},
        {"no-menu-shortcut", "Create no applications-menu shortcut."},
        {"no-desktop-shortcut", "Create no desktop shortcut."},
        {"applications-dir", "Folder of the menu shortcut (default: the user's applications folder).",
         "folder"},
        {"desktop-dir", "Folder of the desktop shortcut (default: the user's desktop).", "folder"},
        {"uninstaller", "Copy this uninstaller into the installation folder.", "file"},
        {"report-version", "Version written into the report.", "version", "1.0.0"},
    });
    parser.process(application);

    const QString installDir = QDir::cleanPath(parser.value("install-dir"));
    const QString dataDir = QDir::cleanPath(parser.value("data-dir"));
    if (!QDir::isAbsolutePath(installDir) || !QDir::isAbsolutePath(dataDir)) {
        return Fail("--install-dir and --data-dir must be full paths", 2);
    }
    const QString name = parser.value("name");
    const QString executable = installDir + u'/' + parser.value("executable");
    const QString record = parser.isSet("record") ? parser.value("record")
                                                  : QStringLiteral("Software\\BrenvaleSoftware\\") + name;
    const bool menu = !parser.isSet("no-menu-shortcut");
    const bool desktop = !parser.isSet("no-desktop-shortcut");

    // The demo's executable is a real program, so tests can run it as the
    // application's running copy.
    QDir().mkpath(installDir);
    QFile::remove(executable);
    if (!QFile::copy(QStringLiteral("/bin/sleep"), executable)) return Fail("cannot write " + executable);
    bool written = WriteFile(installDir + "/lib/libdemo.so.1", "not really a library\n") &&
                   WriteFile(installDir + "/share/readme.txt", "Brenvale demo application\n") &&
                   WriteFile(installDir + "/.settings", "hidden=1\n") &&
                   WriteFile(dataDir + "/settings.ini", "[Application]\nTheme=0\n") &&
                   WriteFile(dataDir + "/history/folderhistory.txt", "/tmp\r\n");
    if (!written) return Fail("cannot write the application's files");

    if (menu &&
        !WriteFile(Folder(parser, "applications-dir", UserFolderKind::Programs) + u'/' + name + ".desktop",
                   Shortcut(name, executable)))
        return Fail("cannot write the menu shortcut");
    if (desktop &&
        !WriteFile(Folder(parser, "desktop-dir", UserFolderKind::Desktop) + u'/' + name + ".desktop",
                   Shortcut(name, executable)))
        return Fail("cannot write the desktop shortcut");

    TWinRegistry registry;
    registry.setErrorKind(TRegistryErrorKind::Disabled);
    registry.setManualHive(TWinRegistry::StringToHive(parser.value("hive"), HKEY_CURRENT_USER));
    written = registry.CreateKey(record + "\\Settings\\Window") &&
              registry.WriteStringValue(record, "DisplayName", name) &&
              registry.WriteStringValue(record, "InstallLocation", installDir) &&
              registry.WriteStringValue(record, "UninstallString", installDir + "/brenvale-uninstaller") &&
              registry.WriteIntValue(record + "\\Settings", "Theme", 1) &&
              registry.WriteIntValue(record + "\\Settings\\Window", "Width", 800);
    if (!written) return Fail("cannot write the registry record " + record);

    if (parser.isSet("uninstaller")) {
        const QString copy = installDir + "/brenvale-uninstaller";
        QFile::remove(copy);
        if (!QFile::copy(parser.value("uninstaller"), copy)) return Fail("cannot copy the uninstaller");
    }

    const QString report = installDir + "/InstallReport.ini";
    const QByteArray text = "[Report]\r\n"
                            "Report Version=" +
                            parser.value("report-version").toUtf8() +
                            "\r\n"
                            "[Application]\r\n"
                            "Name=" +
                            name.toUtf8() +
                            "\r\n"
                            "Install Path=" +
                            installDir.toUtf8() +
                            "\r\n"
                            "Data Path=" +
                            dataDir.toUtf8() +
                            "\r\n"
                            "Executable=" +
                            executable.toUtf8() +
                            "\r\n"
                            "[Configuration]\r\n"
                            "Shortcut-Menu=" +
                            QByteArray(menu ? "1" : "0") +
                            "\r\n"
                            "Shortcut-Desktop=" +
                            QByteArray(desktop ? "1" : "0") +
                            "\r\n"
                            "[Installation]\r\n"
                            "User Install=" +
                            QByteArray(parser.isSet("all-users") ? "0" : "1") +
                            "\r\n"
                            "Registry Record=" +
                            record.toUtf8() +
                            "\r\n"
                            "Registry HIVE=" +
                            parser.value("hive").toUtf8() + "\r\n";
    if (!WriteFile(report, text)) return Fail("cannot write " + report);
    std::printf("%s\n", qPrintable(report));
    return 0;
}
