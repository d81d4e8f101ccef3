#include "ChildProcess.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/prctl.h>
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

// The signals a child gets back at their usual dispositions.
constexpr int DefaultSignals[] = {SIGPIPE, SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGCHLD};

struct TSpawnRequest {
    QByteArray Path; // the program as found, since the child may only call execve
    std::vector<char*> Argv;
    int Output = -1; // descriptor for standard output, -1: inherit
    int Errors = -1;
    QByteArray Directory;
};

// posix_spawn cannot ask the kernel to kill the child with its parent, so this
// forks. Between fork and execve the child of a threaded process may only make
// async-signal-safe calls; an exec failure travels back through a pipe that
// closes on a successful exec.
pid_t SpawnEndingWithParent(const TSpawnRequest& request) {
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) return -1;
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(report[0]);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        // The parent may have ended before the request was made.
        if (::getppid() != parent) ::_exit(127);
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        struct sigaction defaults {};
        defaults.sa_handler = SIG_DFL;
        for (int signal : DefaultSignals)
            ::sigaction(signal, &defaults, nullptr);
        if (request.Output >= 0) ::dup2(request.Output, STDOUT_FILENO);
        if (request.Errors >= 0) ::dup2(request.Errors, STDERR_FILENO);
        int error = 0;
        if (!request.Directory.isEmpty() && ::chdir(request.Directory.constData()) != 0) error = errno;
        if (error == 0) {
            ::execve(request.Path.constData(), request.Argv.data(), environ);
            error = errno;
        }
        [[maybe_unused]] const ssize_t written = ::write(report[1], &error, sizeof error);
        ::_exit(127);
    }
    ::close(report[1]);
    if (pid < 0) {
        ::close(report[0]);
        return -1;
    }
    int error = 0;
    ssize_t got;
    do
        got = ::read(report[0], &error, sizeof error);
    while (got < 0 && errno == EINTR);
    ::close(report[0]);
    if (got == 0) return pid;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return -1;
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
    for (int signal : DefaultSignals)
        sigaddset(&defaults, signal);
    posix_spawnattr_setsigmask(&attributes, &noSignals);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    const QByteArray program = QFile::encodeName(options.Program);
    QList<QByteArray> encoded{program};
    for (const QString& argument : options.Arguments)
        encoded.append(QFile::encodeName(argument));
    std::vector<char*> argv;
    for (QByteArray& argument : encoded)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    pid_t pid = -1;
    int spawnError = 0;
    if (options.ChildLifetime == ChildProcessOptions::Lifetime::EndsWithThisProcess) {
        const auto target = [&](Stream stream) {
            return stream == Stream::Capture   ? writeEnd.Get()
                   : stream == Stream::Discard ? devNull.Get()
                                               : -1;
        };
        const QString found = options.Program.contains(u'/')
                                  ? options.Program
                                  : QStandardPaths::findExecutable(options.Program);
        TSpawnRequest request{QFile::encodeName(found), argv, target(options.Output), target(options.Errors),
                              directory};
        pid = found.isEmpty() ? -1 : SpawnEndingWithParent(request);
        spawnError = pid < 0 ? ENOENT : 0;
    } else {
        spawnError = ::posix_spawnp(&pid, program.constData(), &actions, &attributes, argv.data(), environ);
    }
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
        if (options.StopWhen && options.StopWhen()) {
            ::kill(pid, SIGKILL);
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
            result.Stopped = true;
            reaped = true;
            break;
        }
    }
    // What the child wrote before it ended; a grandchild that keeps the pipe open
    // is not waited for.
    if (readEnd.Valid()) DrainAvailable(readEnd.Get(), result.Output);
    result.ExitCode = reaped ? ExitCodeOf(status) : -1;
    return result;
}
