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

bool StartDetached(const QString& program, const QStringList& arguments,
                   const QString& workingDirectory = {});

// xdg-open on a file, folder or link.
bool OpenWithDesktop(const QString& target);

// The command that starts `program` as administrator: pkexec with env, which
// carries the display variables (pkexec clears the environment) and the working
// directory (pkexec changes to root's home) over to the elevated program.
// `environment` holds more NAME=value pairs for the elevated program.
QStringList AdministratorCommand(const QString& program, const QStringList& arguments,
                                 const QString& workingDirectory, const QStringList& environment = {});

// Starts it through pkexec, detached: the desktop asks for consent; when refused,
// pkexec ends without starting anything.
bool StartAsAdministrator(const QString& program, const QStringList& arguments,
                          const QString& workingDirectory);

// How a waited-for run as administrator ended.
struct AdministratorRun {
    enum class Outcome {
        Ran,       // the program ran; ExitCode is its status
        NoPkexec,  // there is no pkexec to ask with
        Cancelled, // the user dismissed the consent dialog
        Refused,   // not authorised, or pkexec could not ask
        Failed,    // pkexec could not be started
    };
    Outcome Result = Outcome::Failed;
    int ExitCode = -1;
};

// Starts it through pkexec and waits until it ends, sharing this process's
// standard streams, so the caller learns whether consent was given and how the
// program ended.
AdministratorRun RunAsAdministrator(const QString& program, const QStringList& arguments,
                                    const QString& workingDirectory, const QStringList& environment = {});
