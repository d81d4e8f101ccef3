#pragma once
// Replacing a small file so that a failure, a full disk or a crash never leaves it
// half written or empty: the new text goes to a private file beside it, is flushed
// to the disk and checked, and only then renamed over the old file.
#include <QByteArray>
#include <QString>

// Writes every byte to `fd` and flushes it to the disk; 0, or the errno of the
// first failure (a short write on a full disk counts as ENOSPC).
int WriteAllAndSync(int fd, const QByteArray& bytes);

// Replaces the file at `path` with `bytes`, keeping the old file's permissions.
// False, with a message naming the file and the reason in `error`, when anything
// fails; the old file is then untouched and no private file is left behind.
bool ReplaceFileContents(const QString& path, const QByteArray& bytes, QString* error = nullptr);
