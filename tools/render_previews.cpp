// Renders the preview of every template in the library, as the template
// chooser shows them, into one PNG per template and one contact sheet.
// Given photos, the previews are made of them, as for a user's collage;
// given --theme=ID, only that theme's templates are drawn.
//
//     render_previews OUTPUT_FOLDER [WIDTHxHEIGHT] [--theme=ID] [PHOTO ...]

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QUrl>

#include <algorithm>

#include "model/document.h"
#include "model/imagelist.h"
#include "themes/builtinthemes.h"
#include "themes/jstemplate.h"
#include "themes/template.h"
#include "themes/themeregistry.h"

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    BuiltInThemes::registerAll();
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("previews");
    QSize page(1080, 1080);
    QString theme;
    QList<QUrl> photos;
    for (int i = 2; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        const QStringList parts = argument.split(QLatin1Char('x'));
        if (argument.startsWith(QLatin1String("--theme=")))
            theme = argument.mid(8);
        else if (i == 2 && parts.size() == 2 && parts[0].toInt() > 0 && parts[1].toInt() > 0)
            page = QSize(parts[0].toInt(), parts[1].toInt());
        else
            photos.append(QUrl::fromLocalFile(QFileInfo(argument).absoluteFilePath()));
    }
    QDir().mkpath(folder);

    Document photoDocument(false);
    photoDocument.setPageSize(PageSize(PageSize::Pixels, page));
    if (!photos.isEmpty() && !photoDocument.imageList()->insertUrls(0, photos, false))
        return 1;
    QList<QSharedPointer<Template>> templates
        = ThemeRegistry::templates(photos.isEmpty() ? nullptr : &photoDocument);
    if (!theme.isEmpty()) {
        templates.erase(std::remove_if(templates.begin(), templates.end(),
                            [&theme](const auto &look) {
                                const auto *script = qobject_cast<JSTemplate *>(look.data());
                                return !script || script->themeId() != theme;
                            }),
            templates.end());
    }
    std::sort(templates.begin(), templates.end(),
        [](const auto &a, const auto &b) { return a->name() < b->name(); });
    const QSize cell(240, 240 * page.height() / qMax(1, page.width()));
    const int columns = 10;
    QImage sheet(columns * cell.width(),
        int((templates.size() + columns - 1) / columns) * (cell.height() + 20),
        QImage::Format_RGB32);
    sheet.fill(QColor(60, 60, 60));
    QPainter sheetPainter(&sheet);
    sheetPainter.setPen(Qt::white);
    int index = 0;
    for (const QSharedPointer<Template> &look : std::as_const(templates)) {
        look->setCurrentPageSize(PageSize(PageSize::Pixels, page));
        const QPixmap preview = look->renderPreview(cell * 2);
        preview.save(QDir(folder).filePath(look->name() + QStringLiteral(".png")));
        const QPoint at((index % columns) * cell.width(), (index / columns) * (cell.height() + 20));
        sheetPainter.drawPixmap(QRect(at, cell), preview);
        sheetPainter.drawText(QRect(at + QPoint(0, cell.height()), QSize(cell.width(), 20)),
            Qt::AlignCenter, look->name());
        ++index;
    }
    sheetPainter.end();
    return sheet.save(QDir(folder).filePath(QStringLiteral("_sheet.png"))) ? 0 : 1;
}
