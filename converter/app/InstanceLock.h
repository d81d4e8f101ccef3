#pragma once
// The running-copy check: every running copy of a program holds a shared lock on
// one file named after the program's path; a copy that finds the lock held by
// another knows it is not the first. The lock lives as long as this object.
#include <QString>

class TInstanceLock {
  public:
    TInstanceLock() = default;
    TInstanceLock(const TInstanceLock&) = delete;
    TInstanceLock& operator=(const TInstanceLock&) = delete;
    ~TInstanceLock();

    // Takes the lock on `path` and tells whether another holder had it already.
    // When the file cannot be opened or locked, this copy counts as the first.
    bool Acquire(const QString& path);
    void Release();

  private:
    int FHandle = -1;
};
