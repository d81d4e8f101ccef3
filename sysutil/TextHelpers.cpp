#include "TextHelpers.h"

QStringList SplitText(const QString& text, const QString& separator) {
    if (text.isEmpty()) return {};
    if (separator.isEmpty()) return {text};
    QStringList parts;
    qsizetype start = 0;
    for (;;) {
        const qsizetype found = text.indexOf(separator, start);
        if (found < 0) {
            parts.append(text.mid(start));
            return parts;
        }
        parts.append(text.mid(start, found - start));
        start = found + separator.size();
    }
}

QString RemoveRange(const QString& text, int from, int to) {
    if (from < 1 || from > text.size() || to < from) return text;
    QString result = text;
    result.remove(from - 1, qMin<qsizetype>(to, text.size()) - from + 1);
    return result;
}

QString InsertAt(const QString& text, int position, const QString& insertion) {
    const qsizetype index = qBound<qsizetype>(0, qsizetype(position) - 1, text.size());
    QString result = text;
    result.insert(index, insertion);
    return result;
}

void FillListFromArray(const QStringList& array, QStringList& list) {
    list.clear();
    list.append(array);
}

QString BooleanText(bool value) {
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

int IndexOfText(const QString& text, const QStringList& array) {
    return int(array.indexOf(text));
}
