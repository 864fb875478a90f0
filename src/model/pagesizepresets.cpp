#include "pagesizepresets.h"

#include <QCoreApplication>

namespace {

PageSize pixels(int width, int height, const char *name)
{
    return PageSize(PageSize::Pixels, QSizeF(width, height),
        QCoreApplication::translate("PageSizeModel", name));
}

PageSize inches(qreal width, qreal height, const char *name = nullptr)
{
    return PageSize(PageSize::Inches, QSizeF(width, height),
        name ? QCoreApplication::translate("PageSizeModel", name) : QString());
}

} // namespace

QList<PageSize> PageSizePresets::builtIn()
{
    return {
        pixels(1080, 1080, QT_TRANSLATE_NOOP("PageSizeModel", "Instagram Post")),
        pixels(1080, 1350, QT_TRANSLATE_NOOP("PageSizeModel", "Instagram Portrait")),
        pixels(1080, 1920, QT_TRANSLATE_NOOP("PageSizeModel", "Instagram Story / Reels")),
        pixels(1200, 630, QT_TRANSLATE_NOOP("PageSizeModel", "Facebook Post")),
        pixels(820, 312, QT_TRANSLATE_NOOP("PageSizeModel", "Facebook Cover")),
        pixels(1200, 675, QT_TRANSLATE_NOOP("PageSizeModel", "X / Twitter Post")),
        pixels(1500, 500, QT_TRANSLATE_NOOP("PageSizeModel", "X / Twitter Header")),
        pixels(1000, 1500, QT_TRANSLATE_NOOP("PageSizeModel", "Pinterest Pin")),
        pixels(1280, 720, QT_TRANSLATE_NOOP("PageSizeModel", "YouTube Thumbnail")),
        pixels(1920, 1080, QT_TRANSLATE_NOOP("PageSizeModel", "Full HD (1080p)")),
        pixels(640, 960, QT_TRANSLATE_NOOP("PageSizeModel", "iPhone Retina Screen")),
        pixels(1536, 2048, QT_TRANSLATE_NOOP("PageSizeModel", "iPad Retina Screen")),
        pixels(320, 480, QT_TRANSLATE_NOOP("PageSizeModel", "iPhone Screen")),
        pixels(768, 1024, QT_TRANSLATE_NOOP("PageSizeModel", "iPad Screen")),
        inches(2, 3, QT_TRANSLATE_NOOP("PageSizeModel", "2\" x 3\" Wallet (Small)")),
        inches(2.5, 3.5, QT_TRANSLATE_NOOP("PageSizeModel", "2.5\" x 3.5\" Wallet")),
        inches(3, 5),
        inches(4, 6, QT_TRANSLATE_NOOP("PageSizeModel", "4\" x 6\" Postcard")),
        inches(5, 7),
        inches(6, 6),
        inches(6, 8),
        inches(8, 10),
        inches(8, 12),
        PageSize(PageSize::Centimeters, QSizeF(21, 29.7), QStringLiteral("A4")),
        inches(12, 12),
        inches(11, 14),
        inches(12, 16),
        inches(12, 18),
        inches(16, 20),
        inches(18, 24),
        inches(20, 30, QT_TRANSLATE_NOOP("PageSizeModel", "20\" x 30\" Poster")),
    };
}

PageSize PageSizePresets::find(const QString &displayName)
{
    const QString wanted = displayName.trimmed();
    for (const PageSize &page : builtIn()) {
        if (page.displayName().compare(wanted, Qt::CaseInsensitive) == 0)
            return page;
    }
    return PageSize();
}
