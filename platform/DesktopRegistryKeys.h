#pragma once
// Registry keys whose values the desktop answers, so that code written against the
// registry reads the real desktop: the light/dark switch under
// "Software\Microsoft\Windows\CurrentVersion\Themes\Personalize", the accent under
// "Software\Microsoft\Windows\DWM" (both from DesktopAppearance), and the user's
// folders under "...\Explorer\User Shell Folders" and "...\Explorer\Shell Folders"
// (from the XDG user folders). A value stored in the registry store wins over the
// desktop's answer; the store does that layering.
#include "RegistryHive.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

struct RegistryValue {
    std::uint32_t Type = REG_NONE;
    QByteArray Data;
};

struct NamedRegistryValue {
    QString Name;
    RegistryValue Value;
};

namespace DesktopRegistryKeys {

// Whether `key` (path elements below the hive) is one of the desktop's keys or lies
// on the way to one (case-insensitive, as registry names are).
bool IsKey(HKEY hive, const QStringList& key);

// The desktop's sub-keys directly below `key`.
QStringList ChildNames(HKEY hive, const QStringList& key);

// The values the desktop answers in `key`, in a fixed order.
QList<NamedRegistryValue> Values(HKEY hive, const QStringList& key);

// Helpers for the stored representation: text as UTF-8, DWORD as 4 bytes little endian.
RegistryValue TextValue(const QString& text, std::uint32_t type = REG_SZ);
RegistryValue DwordValue(std::uint32_t value);

} // namespace DesktopRegistryKeys
