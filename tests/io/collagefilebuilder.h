#pragma once

#include <QByteArray>
#include <QColor>
#include <QDataStream>
#include <QFont>
#include <QHash>
#include <QIODevice>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QTransform>
#include <QUrl>
#include <QVariant>
#include <QtEndian>

#include <utility>

// Writes collage files field by field as the format describes them, in any
// record version, without the program's own writers: the tests read what it
// builds with the program and compare the program's output with it.
namespace CollageFileBuilder {

inline const QByteArray PhotoDropId = QByteArrayLiteral("com.quorvane.collage.theme.photodrop");
inline const QByteArray MosaicId = QByteArrayLiteral("com.quorvane.collage.theme.mosaic");

// The record versions to write; the defaults are the current ones.
struct Versions
{
    int document = 3;
    int pageSize = 1;
    int imageList = 2;
    int imageSource = 1;
    int photoDropTheme = 2;
    int photoDropItemList = 1;
    int photoDropItem = 2;
    int itemTransform = 2;
    int gridTheme = 3;
    int gridItem = 3;
    int transformedSource = 1;
    int shadow = 1;
    int frame = 1;
    int background = 3;
    int restriction = 1;
    int overlay = 1;
    int sticker = 1;
    // Fonts followed by their OpenType features and axes, as the format's
    // stream version writes them; false: the fields alone, as earlier
    // builds of this program wrote them.
    bool fontOpenType = true;
};

// A tag from its four letters, as OpenType packs them.
inline quint32 tag(const char (&name)[5])
{
    return qFromBigEndian<quint32>(name);
}

struct Photo
{
    QPointF position;
    double zoom = 1;
    double rotation = 0; // as stored: relative, or degrees in old transforms
    qint32 row = 0;
    qint8 filter = 0;
    qint8 mask = 0;
};

struct Cell
{
    double angle = 0; // as stored: relative, or degrees in old cells
    QRectF rect;
    QTransform crop;
    qint32 row = 0;
    qint8 filter = 0;
    qint8 mask = 0;
};

struct Overlay
{
    QString text;
    QFont font;
    QColor color;
    QPointF position;
    double rotation = 0;
    double scale = 1;
    double opacity = 1;
    qint32 alignment = 0;
    // Written in this order, as a hash may come in any.
    QList<std::pair<quint32, quint32>> features;
    QList<std::pair<quint32, double>> axes;
};

struct Sticker
{
    QString path;
    QPointF position;
    double rotation = 0;
    double scale = 1;
    double opacity = 1;
};

struct Content
{
    QByteArray themeId = PhotoDropId;
    QString pageName = QStringLiteral("A5");
    QSizeF pageSize { 21, 14.8 };
    qint32 units = 2;
    QList<QUrl> urls;
    QList<qint32> rotations;
    QHash<QByteArray, QVariant> properties;

    bool shadowEnabled = true;
    double blurRadius = 4.5;
    QColor shadowColor = QColor(0x33, 0x66, 0x99, 200);
    double shadowDistance = 2.25;
    bool shadowGroup = true;

    double frameSize = 0.05;
    QColor frameColor = QColor(0xff, 0xee, 0xdd);
    bool frameEnabled = false;

    qint32 backgroundType = 3;
    QColor backgroundColor = QColor(0x10, 0x20, 0x30);
    double gradientAngle = 45; // version 3
    qint32 gradientDirection = 1; // versions 0-2
    QColor gradientStart = QColor(0xaa, 0xbb, 0xcc);
    QColor gradientEnd = QColor(0xcc, 0xbb, 0xaa);
    QUrl picture = QUrl::fromLocalFile(QStringLiteral("/photos/background.png"));
    qint32 pictureRotation = 2;

    double zero = 10;
    double variation = 30;
    bool rotationFlag = true; // grid themes before version 3

    QList<Photo> photos; // in row order
    double border = 0.3;
    double minimumItemSize = 5.5;
    QList<Cell> cells;

    QList<Overlay> overlays;
    QList<Sticker> stickers;
};

// A file and the offsets of some of its fields, for tests that damage them.
struct File
{
    QByteArray bytes;
    QHash<QString, qint64> marks;

    // Overwrites the big-endian integer of `size` bytes at the mark.
    void patch(const QString &mark, qint64 value, int size)
    {
        const qint64 at = marks.value(mark, -1);
        Q_ASSERT(at >= 0 && at + size <= bytes.size());
        for (int i = 0; i < size; ++i)
            bytes[at + i] = char((value >> (8 * (size - 1 - i))) & 0xff);
    }
};

class Builder
{
public:
    explicit Builder(const Versions &versions = Versions())
        : v(versions)
        , m_out(&m_file.bytes, QIODevice::WriteOnly)
    {
        m_out.setVersion(QDataStream::Qt_6_4);
    }

    File build(const Content &c)
    {
        write(Mark { "start" });
        record(0xD306, v.document);
        record(0xD302, v.pageSize, c.pageName, c.pageSize, c.units);
        record(0xD307, v.imageList, c.urls);
        if (v.imageList >= 2)
            write(Mark { "rotationCount" }, c.rotations);
        write(Mark { "themeId" }, c.themeId);
        if (v.document >= 2)
            write(c.properties);
        if (c.themeId == MosaicId)
            gridTheme(c);
        else
            photoDropTheme(c);
        if (v.document >= 3) {
            write(qint32(c.overlays.size()));
            for (const Overlay &overlay : c.overlays)
                textOverlay(overlay);
            write(qint32(c.stickers.size()));
            for (const Sticker &s : c.stickers)
                record(0xD340, v.sticker, s.path, s.position, s.rotation, s.scale, s.opacity);
        }
        return m_file;
    }

private:
    // Notes where the next field starts, under its name, the first time.
    struct Mark
    {
        const char *name;
    };

    void put(const Mark &mark)
    {
        const QString name = QString::fromLatin1(mark.name);
        if (!m_file.marks.contains(name))
            m_file.marks.insert(name, m_file.bytes.size());
    }
    template<typename T> void put(const T &value) { m_out << value; }
    template<typename... T> void write(const T &...values) { (put(values), ...); }
    template<typename... T> void record(quint16 magic, int version, const T &...values)
    {
        write(magic, qint16(version), values...);
    }

    // The shadow, frame and background records both themes hold.
    void look(const Content &c)
    {
        record(0xD305, v.shadow, c.shadowEnabled, c.blurRadius, c.shadowColor, c.shadowDistance,
            c.shadowGroup);
        record(0xD301, v.frame, c.frameSize, c.frameColor, c.frameEnabled);
        record(
            0xD300, v.background, Mark { "backgroundType" }, c.backgroundType, c.backgroundColor);
        if (v.background >= 3)
            write(c.gradientAngle);
        else
            write(c.gradientDirection);
        write(c.gradientStart, c.gradientEnd);
        if (v.background == 1)
            write(c.picture);
        else
            record(0xE300, v.imageSource, c.pictureRotation, c.picture);
    }

    void restriction(const Content &c) { record(0xD203, v.restriction, c.zero, c.variation); }

    void photoDropTheme(const Content &c)
    {
        record(0xD304, v.photoDropTheme);
        look(c);
        if (v.photoDropTheme >= 2)
            restriction(c);
        record(0xD303, v.photoDropItemList, Mark { "photoCount" }, qint32(c.photos.size()));
        for (qsizetype i = c.photos.size() - 1; i >= 0; --i) {
            const Photo &p = c.photos.at(i);
            record(0xD311, v.photoDropItem);
            record(0xD312, v.itemTransform, p.position, p.zoom, p.rotation, Mark { "photoRow" },
                p.row);
            if (v.photoDropItem >= 2)
                write(p.filter, p.mask);
        }
    }

    void gridTheme(const Content &c)
    {
        record(0xD324, v.gridTheme, c.border);
        look(c);
        write(c.minimumItemSize);
        if (v.gridTheme >= 3)
            restriction(c);
        else
            write(c.rotationFlag);
        write(Mark { "cellCount" }, qint32(c.cells.size()));
        for (const Cell &cell : c.cells) {
            record(0xD325, v.gridItem, cell.angle, cell.rect);
            record(0xD326, v.transformedSource, cell.crop, Mark { "cellRow" }, cell.row);
            if (v.gridItem >= 3)
                write(cell.filter, cell.mask);
        }
    }

    // The font's fields as Qt 6.4 writes them, then (in the format's stream
    // version) its OpenType features and axes, each a count and pairs.
    void textOverlay(const Overlay &o)
    {
        record(0xD330, v.overlay, o.text, o.font);
        if (v.fontOpenType) {
            write(quint32(o.features.size()));
            for (const auto &[tag, value] : o.features)
                write(tag, value);
            write(quint32(o.axes.size()));
            for (const auto &[tag, value] : o.axes)
                write(tag, value);
        }
        write(o.color, o.position, o.rotation, o.scale, o.opacity, o.alignment);
    }

    Versions v;
    File m_file;
    QDataStream m_out;
};

// A Photo Drop collage of three photos with a text block and two stickers.
inline Content photoDropContent()
{
    Content c;
    for (int i = 0; i < 3; ++i)
        c.urls.append(QUrl::fromLocalFile(QStringLiteral("/photos/photo%1.jpg").arg(i)));
    c.rotations = { 0, 1, 3 };
    c.properties.insert("windowGeometry", QByteArray("geometry bytes"));
    c.photos = {
        { QPointF(10, 20), 0.5, 0.5, 0, 1, 0 },
        { QPointF(30, 40), 0.75, -0.25, 1, 2, 3 },
        { QPointF(50, 60), 1.25, 1.0, 2, 5, 5 },
    };
    QFont font(QStringLiteral("DejaVu Sans"), 30);
    font.setBold(true);
    font.setItalic(true);
    c.overlays = { { QStringLiteral("Hello\nWorld"), font, QColor(200, 10, 10, 180),
        QPointF(0.25, 0.75), 15, 1.5, 0.8, qint32(Qt::AlignLeft | Qt::AlignTop), {}, {} } };
    c.stickers = {
        { QStringLiteral(":/stickers/heart.svg"), QPointF(0.1, 0.2), -30, 0.5, 0.9 },
        { QStringLiteral(":/stickers/star.svg"), QPointF(0.9, 0.8), 90, 2, 1 },
    };
    return c;
}

// A Mosaic of three images in three cells, one of which shows no image.
inline Content mosaicContent()
{
    Content c = photoDropContent();
    c.themeId = MosaicId;
    c.photos.clear();
    c.cells = {
        { 0.25, QRectF(0, 0, 10, 14.8), QTransform::fromScale(2, 2).translate(-3, 4), 2, 4, 1 },
        { -1, QRectF(10, 0, 11, 7.4), QTransform(), 0, 0, 0 },
        { 0, QRectF(10, 7.4, 11, 7.4), QTransform().rotate(90), -1, 3, 2 },
    };
    return c;
}

} // namespace CollageFileBuilder
