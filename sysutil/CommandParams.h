#pragma once
// The program's own arguments in normalised form. A leading "/" stands for "-"
// ("/silent" is "-silent"), except where the argument names an existing file or
// folder: on this system every absolute path begins with "/".
#include <QString>
#include <QStringList>

// The argument at `index` (1 = the first after the program, 0 = the program),
// normalised; empty when there is none.
QString ParamText(int index);

// All arguments from the first, normalised and quoted where needed, joined with
// single spaces; empty without arguments.
QString ParamLine();

// The rules of both for any argument list.
QString NormaliseParam(const QString& argument);
QString JoinParams(const QStringList& arguments);

// This process's arguments, the program first (from the application object when
// there is one, else from /proc/self/cmdline).
QStringList ProgramArguments();
