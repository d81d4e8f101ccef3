#include "ChildProcess.h"

#include <QElapsedTimer>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : FFd(fd) {}
    ~FileDescriptor() { Close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    FileDescriptor& operator=(int fd) {
        Close();
        FFd = fd;
        return *this;
    }
    int Get() const { return FFd; }
    bool Valid() const { return FFd >= 0; }
    void Close() {
        if (FFd >= 0) ::close(FFd);
        FFd = -1;
    }

private:
    int FFd = -1;
};

int OpenPidFd(pid_t pid) {
#ifdef SYS_pidfd_open
    return int(::syscall(SYS_pidfd_open, pid, 0));
#else
    (void)pid;
    return -1;
#endif
}

// Reads what the pipe holds now; false once the writing ends are all closed.
bool DrainAvailable(int fd, QByteArray& into) {
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count > 0) {
            into.append(buffer, count);
            continue;
        }
        if (count == 0) return false;
        if (errno == EINTR) continue;
        return errno == EAGAIN || errno == EWOULDBLOCK;
    }
}

int ExitCodeOf(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

} // namespace

ChildProcessResult RunChildProcess(const ChildProcessOptions& options) {
    using Stream = ChildProcessOptions::Stream;
    ChildProcessResult result;
    if (options.Program.isEmpty()) return result;

    const bool capture = options.Output == Stream::Capture || options.Errors == Stream::Capture;
    FileDescriptor readEnd, writeEnd, devNull;
    if (capture) {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) return result;
        readEnd = fds[0];
        writeEnd = fds[1];
        ::fcntl(readEnd.Get(), F_SETFL, ::fcntl(readEnd.Get(), F_GETFL) | O_NONBLOCK);
    }
    if (options.Output == Stream::Discard || options.Errors == Stream::Discard) {
        devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (!devNull.Valid()) return result;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const auto redirect = [&](Stream stream, int target) {
        if (stream == Stream::Capture) posix_spawn_file_actions_adddup2(&actions, writeEnd.Get(), target);
        if (stream == Stream::Discard) posix_spawn_file_actions_adddup2(&actions, devNull.Get(), target);
    };
    redirect(options.Output, STDOUT_FILENO);
    redirect(options.Errors, STDERR_FILENO);
    const QByteArray directory = QFile::encodeName(options.WorkingDirectory);
    if (!directory.isEmpty()) posix_spawn_file_actions_addchdir_np(&actions, directory.constData());

    // The child starts with no blocked signals and the usual dispositions, whatever
    // this process ignores (a shell pipeline needs SIGPIPE, for one).
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t noSignals, defaults;
    sigemptyset(&noSignals);
    sigemptyset(&defaults);
    for (int signal : {SIGPIPE, SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGCHLD}) sigaddset(&defaults, signal);
    posix_spawnattr_setsigmask(&attributes, &noSignals);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    const QByteArray program = QFile::encodeName(options.Program);
    QList<QByteArray> encoded{program};
    for (const QString& argument : options.Arguments) encoded.append(QFile::encodeName(argument));
    std::vector<char*> argv;
    for (QByteArray& argument : encoded) argv.push_back(argument.data());
    argv.push_back(nullptr);

    pid_t pid = -1;
    const int spawnError = ::posix_spawnp(&pid, program.constData(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    writeEnd.Close();
    devNull.Close();
    if (spawnError != 0) return result;
    result.Started = true;

    FileDescriptor pidFd(OpenPidFd(pid));
    QElapsedTimer sincePump;
    sincePump.start();
    int status = 0;
    bool reaped = false;
    for (;;) {
        const pid_t waited = ::waitpid(pid, &status, WNOHANG);
        if (waited == pid) {
            reaped = true;
            break;
        }
        // Someone else reaped the child (SIGCHLD ignored): its status is lost.
        if (waited < 0 && errno != EINTR) break;

        pollfd fds[2];
        nfds_t count = 0;
        if (readEnd.Valid()) fds[count++] = {readEnd.Get(), POLLIN, 0};
        if (pidFd.Valid()) fds[count++] = {pidFd.Get(), POLLIN, 0};
        // Without a process descriptor the end of the child is only seen by polling.
        const int timeout = pidFd.Valid() ? 100 : 10;
        ::poll(fds, count, timeout);
        if (readEnd.Valid() && !DrainAvailable(readEnd.Get(), result.Output)) readEnd.Close();
        if (options.WhileWaiting && sincePump.elapsed() >= 100) {
            options.WhileWaiting();
            sincePump.restart();
        }
    }
    // What the child wrote before it ended; a grandchild that keeps the pipe open
    // is not waited for.
    if (readEnd.Valid()) DrainAvailable(readEnd.Get(), result.Output);
    result.ExitCode = reaped ? ExitCodeOf(status) : -1;
    return result;
}
