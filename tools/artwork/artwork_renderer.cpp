// Renders every SVG source of the program's artwork into the PNGs the
// windows name: "name.png" at the SVG's own size and "name@2x.png" at twice
// that for HiDPI screens, and writes a resource file listing them all.
//
//   artwork_renderer <output folder> <resource file> <svg>...
//
// The build runs it over src/resources/artwork/*.svg, so a new picture
// needs nothing but its SVG.

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>
#include <QSvgRenderer>
#include <QTextStream>

#include <cstdio>

#include "svgpng.h"

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: artwork_renderer <output folder> <resource file> <svg>...\n");
        return 2;
    }
    const QDir output(args.at(0));
    if (!QDir().mkpath(output.path())) {
        std::fprintf(stderr, "artwork_renderer: cannot create %s\n", qPrintable(output.path()));
        return 1;
    }

    QStringList entries;
    for (const QString &source : args.mid(2)) {
        QSvgRenderer renderer(source);
        const QSize size = renderer.defaultSize();
        if (!renderer.isValid() || size.isEmpty()) {
            std::fprintf(stderr, "artwork_renderer: %s is not a usable SVG\n", qPrintable(source));
            return 1;
        }
        const QString name = QFileInfo(source).completeBaseName();
        for (int scale : { 1, 2 }) {
            const QString fileName
                = scale == 1 ? name + QStringLiteral(".png") : name + QStringLiteral("@2x.png");
            if (!writeSvgAsPng(renderer, size, scale, output.filePath(fileName))) {
                std::fprintf(stderr, "artwork_renderer: cannot write %s\n", qPrintable(fileName));
                return 1;
            }
            entries << fileName;
        }
    }

    QSaveFile qrc(args.at(1));
    if (!qrc.open(QIODevice::WriteOnly | QIODevice::Text)) {
        std::fprintf(stderr, "artwork_renderer: cannot write %s\n", qPrintable(args.at(1)));
        return 1;
    }
    QTextStream out(&qrc);
    const QDir qrcFolder = QFileInfo(args.at(1)).absoluteDir();
    out << "<RCC>\n    <qresource prefix=\"/\">\n";
    for (const QString &entry : std::as_const(entries))
        out << "        <file alias=\"" << entry << "\">"
            << qrcFolder.relativeFilePath(output.absoluteFilePath(entry)) << "</file>\n";
    out << "    </qresource>\n</RCC>\n";
    out.flush();
    return qrc.commit() ? 0 : 1;
}
