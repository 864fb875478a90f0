// Prints the records of a collage file as text: every record's magic and
// version, then its fields, nested as the records nest.
//
//   dump_collage <file.tsq>
//
// It reads with the program's own checking readers but builds no document,
// so it shows files the program refuses up to the first field it cannot
// take, and says which and where.

#include <QColor>
#include <QCoreApplication>
#include <QDataStream>
#include <QDebug>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QTextStream>
#include <QTransform>
#include <QUrl>
#include <QtEndian>

#include <optional>

#include "io/collagestreamsettings.h"
#include "io/recordheader.h"
#include "io/streamreading.h"
#include "model/opentypesettings.h"

using namespace StreamReading;

namespace {

class Dumper
{
public:
    Dumper(QIODevice *device, QTextStream &out)
        : m_stream(device)
        , m_out(out)
    {
        CollageStreamSettings::apply(m_stream);
    }

    // Whether the whole file was a sound document.
    bool dump()
    {
        document();
        if (m_error.isEmpty() && isOk(m_stream) && !m_stream.atEnd())
            line(QStringLiteral("%1 bytes after the document").arg(remainingBytes(m_stream)));
        if (m_error.isEmpty() && !isOk(m_stream))
            m_error = QStringLiteral("the data ends or does not fit here");
        if (!m_error.isEmpty()) {
            m_out << "error at byte " << m_errorOffset << ": " << m_error << "\n";
            return false;
        }
        return true;
    }

private:
    // A scope of indented lines for one record.
    struct Nested
    {
        explicit Nested(Dumper &dumper)
            : m_dumper(dumper)
        {
            ++m_dumper.m_depth;
        }
        ~Nested() { --m_dumper.m_depth; }
        Dumper &m_dumper;
    };

    void line(const QString &text)
    {
        m_out << QString(2 * m_depth, QLatin1Char(' ')) << text << "\n";
    }

    void field(const char *name, const QString &value)
    {
        line(QLatin1String(name) + QLatin1String(": ") + value);
    }

    // Keeps the first failure and where it happened.
    bool check(bool sound, const QString &what, qint64 offset = -1)
    {
        if (!sound && m_error.isEmpty()) {
            m_error = what;
            m_errorOffset = offset >= 0 ? offset : m_stream.device()->pos();
        }
        return sound && isOk(m_stream);
    }

    std::optional<quint16> header(const char *name, RecordType type)
    {
        const qint64 offset = m_stream.device()->pos();
        quint16 magic = 0;
        quint16 version = 0;
        m_stream >> magic >> version;
        if (!check(isOk(m_stream), QStringLiteral("no %1 record header").arg(QLatin1String(name))))
            return std::nullopt;
        line(QStringLiteral("%1 0x%2 version %3 (at byte %4)")
                 .arg(QLatin1String(name))
                 .arg(magic, 4, 16, QLatin1Char('0'))
                 .arg(version)
                 .arg(offset));
        if (magic != type.magic) {
            check(false,
                QStringLiteral("expected magic 0x%1").arg(type.magic, 4, 16, QLatin1Char('0')),
                offset);
            return std::nullopt;
        }
        if (version > type.version) {
            check(false,
                QStringLiteral("newer than version %1, the newest known").arg(type.version),
                offset);
            return std::nullopt;
        }
        return version;
    }

    std::optional<quint16> peekMagic()
    {
        char bytes[2] = {};
        if (m_stream.device()->peek(bytes, 2) != 2)
            return std::nullopt;
        return qFromBigEndian<quint16>(bytes);
    }

    // Reads one value with a checking reader and shows it, or keeps what is
    // wrong with it ("%1" stands for the name).
    template<typename T, typename Show>
    bool shown(const char *name, bool (*read)(QDataStream &, T *), const char *wrong, Show show)
    {
        T value {};
        if (!check(read(m_stream, &value), QLatin1String(wrong).arg(QLatin1String(name))))
            return false;
        field(name, show(value));
        return true;
    }

    template<typename T> static QString debugText(const T &value)
    {
        QString text;
        QDebug(&text).nospace() << value;
        return text;
    }

    static QString numberText(int value) { return QString::number(value); }

    bool integer(const char *name)
    {
        return shown(name, readPlain<qint32>, "cannot read %1", numberText);
    }

    bool byte(const char *name)
    {
        return shown(name, readPlain<qint8>, "cannot read %1", numberText);
    }

    bool flag(const char *name)
    {
        return shown(name, readPlain<bool>, "cannot read %1",
            [](bool value) { return value ? QStringLiteral("true") : QStringLiteral("false"); });
    }

    bool real(const char *name)
    {
        return shown(name, readReal, "%1 is not finite",
            [](double value) { return QString::number(value, 'g', 17); });
    }

    bool point(const char *name)
    {
        return shown(name, readPoint, "%1 is not finite", [](const QPointF &value) {
            return QStringLiteral("(%1, %2)").arg(value.x()).arg(value.y());
        });
    }

    bool rect(const char *name)
    {
        return shown(name, readRect, "%1 is not finite", [](const QRectF &value) {
            return QStringLiteral("(%1, %2) %3 x %4")
                .arg(value.x())
                .arg(value.y())
                .arg(value.width())
                .arg(value.height());
        });
    }

    bool transform(const char *name)
    {
        return shown(name, readTransform, "%1 is not finite", [](const QTransform &value) {
            return QStringLiteral("[%1 %2 %3; %4 %5 %6; %7 %8 %9]")
                .arg(value.m11())
                .arg(value.m12())
                .arg(value.m13())
                .arg(value.m21())
                .arg(value.m22())
                .arg(value.m23())
                .arg(value.m31())
                .arg(value.m32())
                .arg(value.m33());
        });
    }

    template<typename T> bool text(const char *name)
    {
        return shown<T>(name, readLengthPrefixed, "cannot read %1", debugText<T>);
    }

    bool color(const char *name)
    {
        return shown(name, readColor, "%1 is no colour", debugText<QColor>);
    }

    static QString tagName(quint32 tag)
    {
        char letters[4];
        qToBigEndian(tag, letters);
        return QString::fromLatin1(letters, 4);
    }

    bool font(const char *name)
    {
        const qint64 start = m_stream.device()->pos();
        QFont value;
        OpenTypeSettings settings;
        if (!check(readFont(m_stream, &value, &settings),
                QStringLiteral("%1 is no font").arg(QLatin1String(name))))
            return false;
        // The fields alone are what Qt 6.4 writes for the font.
        QByteArray fields;
        {
            QDataStream out(&fields, QIODevice::WriteOnly);
            out.setVersion(QDataStream::Qt_6_4);
            out << value;
        }
        const bool withContainers = m_stream.device()->pos() - start > fields.size();
        field(name, value.toString());
        Nested nested(*this);
        field("families", value.families().join(QStringLiteral(", ")));
        field("layout",
            withContainers ? QStringLiteral("fields, features, axes")
                           : QStringLiteral("fields only (earlier builds)"));
        for (auto it = settings.features.cbegin(); it != settings.features.cend(); ++it)
            field("feature",
                QStringLiteral("%1 = %2").arg(tagName(it.key()), QString::number(it.value())));
        for (auto it = settings.axes.cbegin(); it != settings.axes.cend(); ++it)
            field("axis",
                QStringLiteral("%1 = %2").arg(tagName(it.key()), QString::number(it.value())));
        return true;
    }

    std::optional<qint32> count(const char *name, qint64 minimumBytesEach)
    {
        qint32 value = 0;
        if (!check(readCount(m_stream, &value, minimumBytesEach),
                QStringLiteral("%1 does not fit the file").arg(QLatin1String(name))))
            return std::nullopt;
        field(name, QString::number(value));
        return value;
    }

    // A count and that many records, each read by `read`; false as soon as
    // one does not fit.
    template<typename Read> bool records(const char *name, Read read)
    {
        const std::optional<qint32> number = count(name, 1);
        for (qint32 i = 0; number && i < *number; ++i) {
            if (!read())
                return false;
        }
        return bool(number);
    }

    void document()
    {
        const std::optional<quint16> version = header("document", RecordTypes::Document);
        if (!version)
            return;
        Nested nested(*this);
        if (!pageSize() || !imageList() || !text<QByteArray>("theme id"))
            return;
        if (*version >= 2 && !properties())
            return;
        const std::optional<quint16> magic = peekMagic();
        if (magic == RecordTypes::PhotoGridTheme.magic) {
            if (!gridTheme())
                return;
        } else if (!photoDropTheme()) {
            return;
        }
        if (*version < 3)
            return;
        if (records("text overlays", [this] { return textOverlay(); }))
            records("stickers", [this] { return sticker(); });
    }

    bool pageSize()
    {
        if (!header("page size", RecordTypes::PageSize))
            return false;
        Nested nested(*this);
        return text<QString>("name") && real("width") && real("height") && integer("units");
    }

    bool imageList()
    {
        const std::optional<quint16> version = header("image list", RecordTypes::ImageList);
        if (!version)
            return false;
        Nested nested(*this);
        QList<QUrl> urls;
        if (!check(readUrlList(m_stream, &urls),
                QStringLiteral("the address list does not fit the file")))
            return false;
        field("addresses", QString::number(urls.size()));
        for (qsizetype row = 0; row < urls.size(); ++row)
            line(QStringLiteral("  [%1] %2").arg(QString::number(row), urls.at(row).toString()));
        if (*version < 2)
            return true;
        QList<qint32> rotations;
        if (!check(readIntList(m_stream, &rotations),
                QStringLiteral("the turn list does not fit the file")))
            return false;
        QStringList shown;
        for (qint32 turns : std::as_const(rotations))
            shown << QString::number(turns);
        field("quarter turns", shown.join(QLatin1Char(' ')));
        return true;
    }

    bool properties()
    {
        QHash<QByteArray, QVariant> hash;
        if (!check(readVariantHash(m_stream, &hash),
                QStringLiteral("the property hash holds a value no reader takes")))
            return false;
        field("properties", QString::number(hash.size()));
        Nested nested(*this);
        for (auto it = hash.cbegin(); it != hash.cend(); ++it) {
            QString shown;
            QDebug(&shown).nospace() << it.value();
            line(QString::fromUtf8(it.key()) + QLatin1String(": ") + shown);
        }
        return true;
    }

    bool shadow()
    {
        if (!header("shadow", RecordTypes::Shadow))
            return false;
        Nested nested(*this);
        return flag("enabled") && real("blur radius") && color("colour") && real("distance")
            && flag("group");
    }

    bool frame()
    {
        if (!header("frame", RecordTypes::Frame))
            return false;
        Nested nested(*this);
        return real("size") && color("colour") && flag("enabled");
    }

    bool imageSource()
    {
        if (!header("image source", RecordTypes::ImageSource))
            return false;
        Nested nested(*this);
        return integer("quarter turns") && text<QUrl>("address");
    }

    bool background()
    {
        const std::optional<quint16> version = header("background", RecordTypes::Background);
        if (!version)
            return false;
        Nested nested(*this);
        if (!integer("type") || !color("colour"))
            return false;
        if (!(*version >= 3 ? real("gradient angle") : integer("gradient direction")))
            return false;
        if (!color("gradient start") || !color("gradient end"))
            return false;
        return *version == 1 ? text<QUrl>("picture") : imageSource();
    }

    bool restriction()
    {
        if (!header("rotation restriction", RecordTypes::RotationRestriction))
            return false;
        Nested nested(*this);
        return real("zero") && real("variation");
    }

    bool photoDropTheme()
    {
        const std::optional<quint16> version
            = header("scattered-photo theme", RecordTypes::PhotoDropTheme);
        if (!version)
            return false;
        Nested nested(*this);
        if (!shadow() || !frame() || !background())
            return false;
        if (*version >= 2 && !restriction())
            return false;
        if (!header("scattered-photo list", RecordTypes::PhotoDropItemList))
            return false;
        Nested list(*this);
        return records("photos, last row first", [this] { return photoDropItem(); });
    }

    bool photoDropItem()
    {
        const std::optional<quint16> version
            = header("scattered photo", RecordTypes::PhotoDropItem);
        if (!version)
            return false;
        Nested nested(*this);
        const std::optional<quint16> transformVersion
            = header("item transform", RecordTypes::ItemTransform);
        if (!transformVersion)
            return false;
        {
            Nested inner(*this);
            if (!point("position") || !real("zoom")
                || !real(*transformVersion >= 2 ? "relative rotation" : "rotation in degrees"))
                return false;
        }
        if (!integer("image row"))
            return false;
        return *version < 2 || (byte("filter") && byte("mask"));
    }

    bool gridTheme()
    {
        const std::optional<quint16> version = header("grid theme", RecordTypes::PhotoGridTheme);
        if (!version)
            return false;
        Nested nested(*this);
        if (!real(*version >= 2 ? "relative border" : "border") || !shadow() || !frame()
            || !background() || !real("minimum item size"))
            return false;
        if (!(*version >= 3 ? restriction() : flag("rotation enabled")))
            return false;
        return records("cells", [this] { return gridItem(); });
    }

    bool gridItem()
    {
        const std::optional<quint16> version = header("grid cell", RecordTypes::PhotoGridItem);
        if (!version)
            return false;
        Nested nested(*this);
        if (!real(*version >= 2 ? "relative rotation" : "rotation in degrees")
            || !rect("rectangle"))
            return false;
        if (!header("transformed image source", RecordTypes::TransformedImageSource))
            return false;
        {
            Nested inner(*this);
            if (!transform("crop") || !integer("image row"))
                return false;
        }
        return *version < 3 || (byte("filter") && byte("mask"));
    }

    bool textOverlay()
    {
        if (!header("text overlay", RecordTypes::TextOverlay))
            return false;
        Nested nested(*this);
        return text<QString>("text") && font("font") && color("colour") && point("position")
            && real("rotation") && real("scale") && real("opacity") && integer("alignment");
    }

    bool sticker()
    {
        if (!header("sticker", RecordTypes::Sticker))
            return false;
        Nested nested(*this);
        return text<QString>("path") && point("position") && real("rotation") && real("scale")
            && real("opacity");
    }

    QDataStream m_stream;
    QTextStream &m_out;
    int m_depth = 0;
    QString m_error;
    qint64 m_errorOffset = 0;
};

} // namespace

int main(int argc, char **argv)
{
    // Fonts need the GUI library, not a screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2) {
        err << "usage: dump_collage <file.tsq>\n";
        return 2;
    }
    QFile file(arguments.at(1));
    if (!file.open(QIODevice::ReadOnly)) {
        err << arguments.at(1) << ": " << file.errorString() << "\n";
        return 2;
    }
    out << arguments.at(1) << ": " << file.size() << " bytes, stream version "
        << int(CollageStreamSettings::Version) << "\n";
    return Dumper(&file, out).dump() ? 0 : 1;
}
