#pragma once
// Small text helpers. Positions are 1-based, as the callers count characters.
#include <QString>
#include <QStringList>

// "a" CR split at CR gives "a" and "": a separator at the end makes a last empty
// element. An empty text gives an empty list, an empty separator the whole text.
QStringList SplitText(const QString& text, const QString& separator);

// The text without the characters from..to (both included); nothing is removed
// when `from` lies outside the text or `to` before `from`.
QString RemoveRange(const QString& text, int from, int to);

// The insertion placed before the character at `position`; a position below 1
// inserts at the start, one past the end appends.
QString InsertAt(const QString& text, int position, const QString& insertion);

void FillListFromArray(const QStringList& array, QStringList& list);

QString BooleanText(bool value);

// The index of the first element equal to the text (with case), or -1.
int IndexOfText(const QString& text, const QStringList& array);
