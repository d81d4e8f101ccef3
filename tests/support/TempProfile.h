#pragma once
// A throw-away user profile for one test: HOME, the XDG folders and the registry
// root point into a temporary folder, the Windows names are unset and the desktop
// portal is replaced by fixed answers, so no test reads or writes the real profile.
#include "DesktopAppearance.h"
#include "QtPrinters.h"
#include "ScopedEnvironment.h"

#include <QByteArray>
#include <QDir>
#include <QList>
#include <QPair>
#include <QTemporaryDir>

class TempProfile : public ScopedEnvironment {
  public:
    TempProfile() {
        const QString root = FRoot.path();
        Set("HOME", root + QStringLiteral("/home"));
        Set("XDG_DATA_HOME", root + QStringLiteral("/home/.local/share"));
        Set("XDG_CONFIG_HOME", root + QStringLiteral("/home/.config"));
        Set("XDG_CACHE_HOME", root + QStringLiteral("/home/.cache"));
        Set("XDG_STATE_HOME", root + QStringLiteral("/home/.local/state"));
        Set("BRENVALE_REGISTRY_ROOT", root + QStringLiteral("/registry"));
        Set("DBUS_SESSION_BUS_ADDRESS", QStringLiteral("unix:path=") + root + QStringLiteral("/no-bus"));
        for (const char* name :
             {"LOCALAPPDATA", "APPDATA", "TEMP", "TMP", "USERPROFILE", "SYSTEMROOT", "TMPDIR"})
            Unset(name);
        QDir().mkpath(root + QStringLiteral("/home"));
        DesktopAppearance::SetOverride(DesktopAppearance::State{});
    }
    ~TempProfile() { DesktopAppearance::SetOverride(std::nullopt); }
    TempProfile(const TempProfile&) = delete;
    TempProfile& operator=(const TempProfile&) = delete;

    QString Root() const { return FRoot.path(); }
    QString Home() const { return FRoot.path() + QStringLiteral("/home"); }

  private:
    QTemporaryDir FRoot;
};
