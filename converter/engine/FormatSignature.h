#pragma once
// What the first bytes of a file say it is. Used where bytes of unknown kind are
// about to be stored under a format's extension (Base64 decoding), so that a file
// never carries an extension its contents contradict.
#include "FormatCatalogue.h"

#include <QByteArrayView>

// How many leading bytes the checks below look at, at most.
constexpr qsizetype FormatSignatureLength = 40;

// True when `head` (the first bytes of a file) begins as a `tag` file does. Text
// formats (BASE64, IMG-BASE) have no signature and always match.
bool MatchesFormatSignature(QByteArrayView head, FormatTag tag);
// The format `head` begins as, for messages; Unknown when none matches.
FormatTag DetectFormatSignature(QByteArrayView head);
