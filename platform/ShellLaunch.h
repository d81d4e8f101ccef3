#pragma once
// Starting programs the way the desktop shell does: detached from this process,
// documents and links through xdg-open, elevated through pkexec. Every function
// answers only whether the start was handed over; none waits for the program.
#include <QString>
#include <QStringList>

// The executable a name stands for: a name with a "/" must be an executable
// regular file, any other name is looked up on PATH. Empty when there is none.
QString FindExecutable(const QString& name);

// Whether the text is a link ("https://...", "mailto:...") rather than a path.
bool IsLink(const QString& target);

bool StartDetached(const QString& program, const QStringList& arguments, const QString& workingDirectory = {});

// xdg-open on a file, folder or link.
bool OpenWithDesktop(const QString& target);

// The command that starts `program` as administrator: pkexec with env, which
// carries the display variables (pkexec clears the environment) and the working
// directory (pkexec changes to root's home) over to the elevated program.
QStringList AdministratorCommand(const QString& program, const QStringList& arguments,
                                 const QString& workingDirectory);

// Starts it through pkexec, detached: the desktop asks for consent; when refused,
// pkexec ends without starting anything.
bool StartAsAdministrator(const QString& program, const QStringList& arguments, const QString& workingDirectory);
