#pragma once
// Stand-ins, under the same names, for the system library's folder and text
// helpers that the uninstaller needs before they are merged; callers say
// `using namespace SystemSeam;` and drop that line when the real ones arrive.
#include <QString>
#include <QStringList>

namespace SystemSeam {

enum class UserFolderKind { Desktop, Programs };

// The user's desktop or applications folder, without a trailing delimiter.
QString UserShellFolder(UserFolderKind kind);
// Only "%TEMP%", the per-user temporary folder.
QString ExpandPathVariables(const QString& path);
QStringList SplitText(const QString& text, const QString& separator);
QString BooleanText(bool value);

} // namespace SystemSeam
