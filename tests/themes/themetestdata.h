#pragma once

// Fixtures the theme tests share: solid photos written to a temporary
// folder, documents laid out by a theme, and geometry checks.

#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <cmath>

#include "model/document.h"
#include "model/imagelist.h"
#include "undo/undostack.h"

namespace ThemeTestData {

// Landscape, portrait, square, panorama, tall strip.
inline const QList<QSize> MixedSizes
    = { { 40, 30 }, { 30, 40 }, { 50, 50 }, { 90, 30 }, { 20, 60 } };

// Solid pictures written as PNG, so that their colours stay exact.
class PhotoFiles
{
public:
    QString path(const QString &name) const { return m_dir.filePath(name); }

    QUrl write(const QSize &size, const QColor &color)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(color);
        const QString file = path(QStringLiteral("photo%1.png").arg(m_count++));
        return image.save(file) ? QUrl::fromLocalFile(file) : QUrl();
    }

    // One picture per size, each in a colour of its own.
    QList<QUrl> write(const QList<QSize> &sizes)
    {
        QList<QUrl> urls;
        for (const QSize &size : sizes)
            urls.append(write(size, QColor::fromHsv((m_count * 47) % 360, 180, 220)));
        return urls.contains(QUrl()) ? QList<QUrl>() : urls;
    }

    // `count` pictures going round `sizes`.
    QList<QUrl> cycle(int count, const QList<QSize> &sizes = MixedSizes)
    {
        QList<QSize> all;
        for (int k = 0; k < count; ++k)
            all.append(sizes.at(k % sizes.size()));
        return write(all);
    }

private:
    QTemporaryDir m_dir;
    int m_count = 0;
};

// A document of `page` pixels showing `urls` in the theme `themeId` (none
// when empty), with nothing on its undo stack; null when a photo fails.
inline Document *newDocument(const QSizeF &page, const QList<QUrl> &urls,
    const QByteArray &themeId = {}, QObject *parent = nullptr)
{
    auto *document = new Document(true, parent);
    document->setPageSize(PageSize(PageSize::Pixels, page));
    if (!urls.isEmpty() && !document->imageList()->insertUrls(0, urls, false)) {
        delete document;
        return nullptr;
    }
    if (!themeId.isEmpty())
        document->setThemeId(themeId);
    document->undoStack()->clear();
    return document;
}

inline qreal area(const QRectF &r)
{
    return r.width() * r.height();
}

// The cells cover the page exactly: inside it, without overlaps, with the
// areas adding up to the page.
inline bool tiles(const QList<QRectF> &cells, const QSizeF &page, QString *why)
{
    const QRectF whole(QPointF(0, 0), page);
    qreal sum = 0;
    for (int i = 0; i < cells.size(); ++i) {
        if (!whole.adjusted(-1e-6, -1e-6, 1e-6, 1e-6).contains(cells[i])) {
            *why = QStringLiteral("cell %1 leaves the page").arg(i);
            return false;
        }
        for (int j = i + 1; j < cells.size(); ++j) {
            if (area(cells[i].intersected(cells[j])) > 1e-6) {
                *why = QStringLiteral("cells %1 and %2 overlap").arg(i).arg(j);
                return false;
            }
        }
        sum += area(cells[i]);
    }
    if (std::abs(sum - area(whole)) > 1e-6 * area(whole)) {
        *why = QStringLiteral("cells cover %1 of %2").arg(sum).arg(area(whole));
        return false;
    }
    return true;
}

// The part of a photo of `aspect` (width / height) that stays visible when
// it covers `cell` less `border` on every side and less a frame as thick as
// `frame` times the shorter side left.
inline qreal keptShare(const QRectF &cell, qreal border, qreal frame, qreal aspect)
{
    qreal width = cell.width() - 2 * border;
    qreal height = cell.height() - 2 * border;
    if (width <= 0 || height <= 0)
        return 0;
    const qreal band = frame * qMin(width, height);
    width -= band;
    height -= band;
    const qreal scale = qMax(width / aspect, height);
    return width * height / (aspect * scale * scale);
}

inline bool near(const QColor &a, const QColor &b, int tolerance = 2)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance
        && qAbs(a.blue() - b.blue()) <= tolerance;
}

// Undoing every step shows `before` again, redoing them all `after`.
template<typename Snapshot, typename Value>
void compareUndoRedo(UndoStack *stack, Snapshot snapshot, const Value &before, const Value &after)
{
    while (stack->canUndo())
        stack->undo();
    QCOMPARE(snapshot(), before);
    while (stack->canRedo())
        stack->redo();
    QCOMPARE(snapshot(), after);
}

} // namespace ThemeTestData
