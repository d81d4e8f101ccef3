#pragma once
// The readers under test take a file name; an anonymous memory file gives them one
// without touching the disk.
#include <QByteArray>
#include <QString>

#include <sys/mman.h>
#include <unistd.h>

class TMemoryFile {
  public:
    TMemoryFile(const std::uint8_t* data, std::size_t size) : FFd(memfd_create("fuzz-input", MFD_CLOEXEC)) {
        if (FFd < 0) return;
        std::size_t written = 0;
        while (written < size) {
            const ssize_t n = ::write(FFd, data + written, size - written);
            if (n <= 0) break;
            written += std::size_t(n);
        }
    }
    ~TMemoryFile() {
        if (FFd >= 0) ::close(FFd);
    }
    TMemoryFile(const TMemoryFile&) = delete;
    TMemoryFile& operator=(const TMemoryFile&) = delete;

    bool Valid() const { return FFd >= 0; }
    QString Path() const { return QStringLiteral("/proc/self/fd/%1").arg(FFd); }

  private:
    int FFd = -1;
};
