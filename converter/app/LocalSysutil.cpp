#include "LocalSysutil.h"

#include "IniDocument.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QScreen>
#include <QStandardPaths>
#include <QWidget>
#include <stdexcept>

QString AppDataFolder(const QString& appName, bool withMakerFolder, bool createIfMissing) {
    QString root = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QLatin1Char('/');
    if (withMakerFolder) root += QStringLiteral("BrenvaleSoftware/");
    const QString folder = root + appName + QLatin1Char('/');
    if (createIfMissing && !QFileInfo(folder).isDir() && !QDir().mkpath(folder))
        throw std::runtime_error(QStringLiteral("Cannot create the folder %1").arg(folder).toStdString());
    return folder;
}

namespace {

const QString Positions = QStringLiteral("Positions");

int StateNumber(Qt::WindowStates state) {
    if (state & Qt::WindowMinimized) return 1;
    if (state & Qt::WindowMaximized) return 2;
    return 0;
}

} // namespace

bool PersistFormPosition(QWidget& form, const QString& iniFileName, bool load, bool leaveNormal, QString* error) {
    TIniDocument ini;
    if (load) {
        if (!QFileInfo::exists(iniFileName)) {
            if (const QScreen* screen = form.screen()) {
                const QRect area = screen->geometry();
                form.move(area.x() + (area.width() - form.width()) / 2, area.y() + (area.height() - form.height()) / 2);
            }
        }
        if (!ini.Load(iniFileName)) return true;
        form.setWindowState(Qt::WindowNoState);
        const QRect current = form.geometry();
        const QRect stored(ini.ReadInteger(Positions, QStringLiteral("Left"), current.x()),
                           ini.ReadInteger(Positions, QStringLiteral("Top"), current.y()),
                           ini.ReadInteger(Positions, QStringLiteral("Width"), current.width()),
                           ini.ReadInteger(Positions, QStringLiteral("Height"), current.height()));
        form.setGeometry(stored);
        // A window is never restored minimised.
        if (ini.ReadInteger(Positions, QStringLiteral("State"), 0) == 2) form.setWindowState(Qt::WindowMaximized);
        return true;
    }
    ini.Load(iniFileName);
    const Qt::WindowStates state = form.windowState();
    ini.WriteInteger(Positions, QStringLiteral("State"), StateNumber(state));
    const QRect normal = state == Qt::WindowNoState ? form.geometry() : form.normalGeometry();
    ini.WriteInteger(Positions, QStringLiteral("Left"), normal.x());
    ini.WriteInteger(Positions, QStringLiteral("Top"), normal.y());
    ini.WriteInteger(Positions, QStringLiteral("Width"), normal.width());
    ini.WriteInteger(Positions, QStringLiteral("Height"), normal.height());
    if (leaveNormal) form.setWindowState(Qt::WindowNoState);
    return ini.Save(iniFileName, error);
}

void FlashApplication() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible()) QApplication::alert(window, 2000);
    }
}
