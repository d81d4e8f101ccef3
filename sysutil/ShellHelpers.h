#pragma once
// Starting other programs and running command lines. None of these raises or shows
// anything: a program that cannot be started simply does not run.
#include <QString>
#include <QStringList>

// Starts a program detached, or opens a document, folder or link with the desktop's
// application (xdg-open). `parameters` is one command line (double quotes group);
// with asAdministrator an unprivileged caller goes through pkexec, and a refused
// consent starts nothing. `show` has no meaning for detached programs here.
void LaunchProgram(const QString& fileName, bool show, const QString& parameters, bool asAdministrator,
                   const QString& directory);

// LaunchProgram(target, shown, parameters, not as administrator, no directory).
void ShellOpen(const QString& target, const QString& parameters = {});

// Runs the command through the system's command interpreter (pwsh when installed,
// else sh -c) after turning every double quote into an apostrophe, and waits.
// Unless noMessagePump the application handles its events every 100 ms meanwhile.
// With captureOutput the lines of its standard output and error come back;
// otherwise its output goes to this process's and its errors are discarded.
QStringList RunPowerShell(const QString& command, bool showWindow, bool noMessagePump, bool captureOutput);

// Runs a command line (split by its double quotes, no shell) with its output
// discarded and waits for it. Returns its exit status, -1 when it did not start.
int ExecuteAndWait(const QString& commandLine);
int ExecuteAndWait(const QString& program, const QStringList& arguments);

bool RunningAsAdministrator();

// Draws attention to the application's windows (the taskbar entry flashes).
void FlashApplication();

// The lines of a text as a string list takes them: CR LF, LF and CR all end a
// line, and a final line end adds no empty line.
QStringList TextLines(const QString& text);
