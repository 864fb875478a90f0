// Renders the preview of every template in the library, as the template
// chooser shows them, into one PNG per template and one contact sheet.
//
//     render_previews OUTPUT_FOLDER [WIDTHxHEIGHT]

#include <QApplication>
#include <QDir>
#include <QPainter>

#include <algorithm>

#include "themes/builtinthemes.h"
#include "themes/template.h"
#include "themes/themeregistry.h"

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    BuiltInThemes::registerAll();
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("previews");
    QSize page(1080, 1080);
    if (argc > 2) {
        const QStringList parts = QString::fromLocal8Bit(argv[2]).split(QLatin1Char('x'));
        if (parts.size() == 2)
            page = QSize(parts[0].toInt(), parts[1].toInt());
    }
    QDir().mkpath(folder);

    QList<QSharedPointer<Template>> templates = ThemeRegistry::templates(nullptr);
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
