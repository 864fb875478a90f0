// Renders the program icon at the sizes a desktop's icon theme asks for:
// "<name>-<size>.png" for each size given.
//
//   icon_renderer <svg> <output folder> <name> <size>...

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: icon_renderer <svg> <output folder> <name> <size>...\n");
        return 2;
    }
    QSvgRenderer renderer(args.at(0));
    const QDir output(args.at(1));
    if (!renderer.isValid() || !QDir().mkpath(output.path())) {
        std::fprintf(stderr, "icon_renderer: cannot render %s\n", qPrintable(args.at(0)));
        return 1;
    }
    for (const QString &text : args.mid(3)) {
        const int size = text.toInt();
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, size, size));
        painter.end();
        QSaveFile file(output.filePath(QStringLiteral("%1-%2.png").arg(args.at(2)).arg(size)));
        if (size <= 0 || !file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG")
            || !file.commit()) {
            std::fprintf(stderr, "icon_renderer: cannot write the %s icon\n", qPrintable(text));
            return 1;
        }
    }
    return 0;
}
