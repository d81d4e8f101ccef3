#pragma once
// A converter's output is written under a private name beside its final path and
// moved there only when complete, so a failed or stopped conversion leaves
// nothing behind and a file that appeared meanwhile is never replaced.
#include <QString>
#include <functional>

class StagedOutput {
  public:
    // Picks an unused, short hidden name in the final path's folder that names this
    // process and keeps the final extension (outside tools choose their format by
    // it). The file itself is not created.
    explicit StagedOutput(const QString& finalPath);
    ~StagedOutput();
    StagedOutput(const StagedOutput&) = delete;
    StagedOutput& operator=(const StagedOutput&) = delete;

    const QString& StagingPath() const { return FStagingPath; }
    // Moves the staged file to the final path, or to its next free counter name
    // when that path is taken by now (skipping names `taken` answers true for, such
    // as those other conversions hold); returns the path used. Throws ConversionError.
    QString Commit(const std::function<bool(const QString&)>& taken = {});
    // Gives the staged file the modification time of `source`, as copying tools keep
    // it; a failure only costs the date, which is named through `reportLoss`.
    void KeepDateOf(const QString& source, const std::function<void(const QString&)>& reportLoss) const;

    // Removes the staging files in `folder` that a process which has ended left
    // behind (killed before it could clean up); only regular files of this user
    // named as the constructor names them. Returns how many went.
    static int RemoveStaleFiles(const QString& folder);

  private:
    QString FFinalPath;
    QString FStagingPath;
    bool FCommitted = false;
};
