// Renders SVG artwork into the PNGs the windows load, at 1x and 2x:
//
//     render_artwork OUTPUT_FOLDER FILE.svg...
//
// writes OUTPUT_FOLDER/FILE.png and OUTPUT_FOLDER/FILE@2x.png.

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2)
        return 2;
    const QDir folder(args.first());
    int failures = 0;
    for (const QString &source : args.mid(1)) {
        QSvgRenderer renderer(source);
        const QString base = folder.filePath(QFileInfo(source).completeBaseName());
        for (int scale : { 1, 2 }) {
            QImage image(renderer.defaultSize() * scale, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            renderer.render(&painter);
            painter.end();
            const QString suffix = scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale);
            if (!renderer.isValid() || !image.save(base + suffix + QStringLiteral(".png")))
                ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
