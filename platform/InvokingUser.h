#pragma once
// The user on whose behalf an elevated process runs. pkexec and sudo clear the
// environment and give the program root's HOME; they name the user who asked
// only by number (PKEXEC_UID, SUDO_UID), so the rest comes from the password
// database.
#include <QString>

#include <optional>

struct UserAccount {
    uint Uid = 0;
    QString Name;
    QString Home; // as the password database has it; may not exist
};

// The user who asked for this process's administrator rights; empty when the
// process is not root or nobody is named.
std::optional<uint> InvokingUserId();

// The password database's entry of a user; empty when there is none.
std::optional<UserAccount> LookUpUser(uint uid);

// Whether `path` is a full path to an existing folder owned by `uid`: a folder a
// user handed over is trusted only when it is really theirs.
bool IsFolderOwnedBy(const QString& path, uint uid);
