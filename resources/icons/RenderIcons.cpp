// Renders an application icon from its SVG drawing into the PNG sizes of the
// icon theme, so the drawing is the only source of every size.
//     render-icons SOURCE.svg OUTPUT-FOLDER NAME SIZE...
// writes OUTPUT-FOLDER/SIZExSIZE/apps/NAME.png for each size.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 5) {
        std::fprintf(stderr, "usage: render-icons SOURCE.svg OUTPUT-FOLDER NAME SIZE...\n");
        return 2;
    }
    QSvgRenderer drawing(QString::fromLocal8Bit(argv[1]));
    if (!drawing.isValid()) {
        std::fprintf(stderr, "render-icons: cannot read %s\n", argv[1]);
        return 1;
    }
    const QString output = QString::fromLocal8Bit(argv[2]);
    const QString name = QString::fromLocal8Bit(argv[3]);
    for (int i = 4; i < argc; ++i) {
        const int size = QByteArray(argv[i]).toInt();
        if (size <= 0) {
            std::fprintf(stderr, "render-icons: %s is not a size\n", argv[i]);
            return 2;
        }
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(output).arg(size);
        QDir().mkpath(folder);
        QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
        icon.fill(Qt::transparent);
        QPainter painter(&icon);
        painter.setRenderHint(QPainter::Antialiasing);
        drawing.render(&painter);
        painter.end();
        const QString file = folder + QLatin1Char('/') + name + QStringLiteral(".png");
        if (!icon.save(file)) {
            std::fprintf(stderr, "render-icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
