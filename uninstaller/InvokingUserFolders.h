#pragma once
// An elevated uninstaller removes one user's shortcuts, registry record and
// data, and guards that user's home: the user who asked for the rights, not
// root. pkexec hands the program root's HOME and no XDG variables, so the copy
// that asks passes its own folders on and the elevated copy checks them against
// the user pkexec names before it takes them.
#include <QString>
#include <QStringList>

// NAME=value pairs of the folders the elevated copy needs from this user.
QStringList FoldersToPassOn();

// Sets HOME and the XDG base folders to those of the user who asked for this
// process's rights: a passed-on folder counts only when that user owns it,
// otherwise the home comes from the password database and the XDG folders take
// their places below it. The process keeps its own cache and temporary folder,
// so nothing of root's lands in the user's home. Does nothing when no one asked.
// Answers why it cannot act for that user, empty when it can.
QString ActForInvokingUser();
