#pragma once
// Runs a program and waits for it, with its output captured, discarded or shared
// with this process. Captured output is read while the child runs, so a child
// that writes megabytes never blocks on a full pipe, and reading stops when the
// child has ended, whatever the size of its output.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

struct ChildProcessOptions {
    enum class Stream { Inherit, Discard, Capture };
    enum class Lifetime {
        Independent,
        // The child is killed when this process ends, also by SIGKILL: a helper
        // that writes our output must never go on writing for a process that is gone.
        EndsWithThisProcess,
    };

    QString Program;          // a path, or a name looked up on PATH
    QStringList Arguments;    // without the program itself
    QString WorkingDirectory; // empty: this process's
    Stream Output = Stream::Inherit;
    Stream Errors = Stream::Inherit;
    Lifetime ChildLifetime = Lifetime::Independent;
    // Called about every 100 ms while the child runs, for a message pump.
    std::function<void()> WhileWaiting;
    // Asked about every 100 ms while the child runs; true kills the child (SIGKILL)
    // and ends the wait, so a cancelled job never waits for a tool to finish.
    std::function<bool()> StopWhen;
};

struct ChildProcessResult {
    bool Started = false;
    int ExitCode = -1;    // the exit status, or 128 + the signal that ended the child
    bool Stopped = false; // killed because StopWhen asked for it
    QByteArray Output;    // standard output and error where captured, as they arrived
};

ChildProcessResult RunChildProcess(const ChildProcessOptions& options);
