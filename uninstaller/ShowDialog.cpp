#include "ShowDialog.h"

#include "FXDialog.h"

#include <QGuiApplication>
#include <QWidget>

#include <cstdio>

bool DisplayAvailable() {
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

void ShowDialog(const QString& title, const QString& text, QWidget* owner) {
    // The help text ends its lines in carriage returns; labels and terminals want line feeds.
    QString lines = text;
    lines.replace(u'\r', u'\n');
    if (!DisplayAvailable()) {
        if (!lines.endsWith(u'\n')) lines += u'\n';
        const QByteArray bytes = lines.toUtf8();
        std::FILE* stream = title == QLatin1String("Help") ? stdout : stderr;
        std::fwrite(bytes.constData(), 1, bytes.size(), stream);
        std::fflush(stream);
        return;
    }
    FXDialog dialog;
    dialog.setTitle(title);
    dialog.setText(lines.trimmed());
    dialog.setButtons({FXMsgDlgBtn::OK});
    if (owner && owner->isVisible()) dialog.setParentForm(owner);
    dialog.Execute();
}
