#pragma once
// A full disk in miniature: while one of these lives, no file of this process can
// grow beyond `bytes`, and a write past the limit fails with EFBIG (SIGXFSZ, which
// would end the process, is ignored meanwhile) as a write to a full disk fails.
#include <csignal>
#include <sys/resource.h>

class TFileSizeLimit {
  public:
    explicit TFileSizeLimit(rlim_t bytes) {
        FOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        FActive = ::getrlimit(RLIMIT_FSIZE, &FOld) == 0;
        if (!FActive) return;
        struct rlimit limit = FOld;
        limit.rlim_cur = bytes;
        FActive = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~TFileSizeLimit() {
        if (FActive) ::setrlimit(RLIMIT_FSIZE, &FOld);
        std::signal(SIGXFSZ, FOldHandler);
    }
    TFileSizeLimit(const TFileSizeLimit&) = delete;
    TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

    // False when the limit could not be set; the test should then skip.
    bool Active() const { return FActive; }

  private:
    struct rlimit FOld {};
    bool FActive = false;
    void (*FOldHandler)(int) = SIG_DFL;
};
