#include "FormPosition.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>

namespace {

enum FormState { Normal = 0, Minimised = 1, Maximised = 2 };

int StateOf(const QWidget* form) {
    const Qt::WindowStates state = form->windowState();
    if (state & Qt::WindowMinimized) return Minimised;
    if (state & (Qt::WindowMaximized | Qt::WindowFullScreen)) return Maximised;
    return Normal;
}

int ReadInteger(const QSettings& ini, const QString& key, int fallback) {
    bool ok = false;
    const int value = ini.value(key).toInt(&ok);
    return ok ? value : fallback;
}

constexpr Qt::WindowStates MinMax = Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;

} // namespace

bool PersistFormPosition(QWidget* form, const QString& iniFileName, bool load, bool leaveNormal) {
    if (!form) return false;
    QSettings ini(iniFileName, QSettings::IniFormat);
    if (load) {
        if (!QFileInfo::exists(iniFileName)) {
            QScreen* screen = form->screen() ? form->screen() : QGuiApplication::primaryScreen();
            if (screen) {
                const QRect area = screen->geometry();
                form->setGeometry(area.x() + (area.width() - form->width()) / 2,
                                  area.y() + (area.height() - form->height()) / 2, form->width(),
                                  form->height());
            }
        }
        form->setWindowState(form->windowState() & ~MinMax);
        const QRect current = form->geometry();
        const int left = ReadInteger(ini, QStringLiteral("Positions/Left"), current.x());
        const int top = ReadInteger(ini, QStringLiteral("Positions/Top"), current.y());
        const int width = ReadInteger(ini, QStringLiteral("Positions/Width"), current.width());
        const int height = ReadInteger(ini, QStringLiteral("Positions/Height"), current.height());
        form->setGeometry(left, top, width, height);
        const int state = ReadInteger(ini, QStringLiteral("Positions/State"), StateOf(form));
        if (state == Maximised) form->setWindowState((form->windowState() & ~MinMax) | Qt::WindowMaximized);
        return ini.status() == QSettings::NoError;
    }

    ini.setValue(QStringLiteral("Positions/State"), StateOf(form));
    // The normal bounds are known without restoring the window, so a minimised
    // window never flashes up while it is saved.
    const QRect normal = form->normalGeometry().isValid() ? form->normalGeometry() : form->geometry();
    ini.setValue(QStringLiteral("Positions/Left"), normal.x());
    ini.setValue(QStringLiteral("Positions/Top"), normal.y());
    ini.setValue(QStringLiteral("Positions/Width"), normal.width());
    ini.setValue(QStringLiteral("Positions/Height"), normal.height());
    if (leaveNormal) form->setWindowState(form->windowState() & ~MinMax);
    ini.sync();
    return ini.status() == QSettings::NoError;
}
