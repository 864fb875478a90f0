// Renders the program icon at the sizes a desktop's icon theme asks for:
// "<name>-<size>.png" for each size given.
//
//   icon_renderer <svg> <output folder> <name> <size>...

#include <QDir>
#include <QGuiApplication>
#include <QSvgRenderer>

#include <cstdio>

#include "svgpng.h"

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
        const QString path = output.filePath(QStringLiteral("%1-%2.png").arg(args.at(2)).arg(size));
        if (size <= 0 || !writeSvgAsPng(renderer, QSize(size, size), 1, path)) {
            std::fprintf(stderr, "icon_renderer: cannot write the %s icon\n", qPrintable(text));
            return 1;
        }
    }
    return 0;
}
