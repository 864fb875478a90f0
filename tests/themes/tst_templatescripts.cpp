// Checks the shipped template scripts against stand-ins of the theme objects
// they tune: every file must be listed, evaluate cleanly, carry its display
// name, and keep every value it writes inside the range the themes are built
// to handle, in page-relative units so that the look scales with the page.

#include <QtTest>

#include <QColor>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QJSEngine>
#include <QJSValue>
#include <QLineF>
#include <QMetaProperty>
#include <QPointF>
#include <QRegularExpression>
#include <QSet>
#include <QSizeF>
#include <QStringDecoder>

#include <cmath>
#include <iterator>
#include <memory>

enum class ThemeKind { PhotoDrop, Mosaic };

namespace {

struct TemplateEntry
{
    ThemeKind kind;
    const char *file;
    const char *name;
};

const TemplateEntry templateTable[] = {
    { ThemeKind::PhotoDrop, "birthdayBash.qjs", "Birthday Bash" },
    { ThemeKind::PhotoDrop, "boldDrop.qjs", "Bold Drop" },
    { ThemeKind::PhotoDrop, "brightClean.qjs", "Bright & Clean" },
    { ThemeKind::PhotoDrop, "christmasDrop.qjs", "Christmas" },
    { ThemeKind::PhotoDrop, "corkBoard.qjs", "Cork Board" },
    { ThemeKind::PhotoDrop, "creativeDrop.qjs", "Creative Chaos" },
    { ThemeKind::PhotoDrop, "darkMood.qjs", "Dark Mood" },
    { ThemeKind::PhotoDrop, "default.qjs", "Photo Drop" },
    { ThemeKind::PhotoDrop, "elegantDrop.qjs", "Elegant Drop" },
    { ThemeKind::PhotoDrop, "familyDrop.qjs", "Family Album" },
    { ThemeKind::PhotoDrop, "flatLayDrop.qjs", "Flat Lay" },
    { ThemeKind::PhotoDrop, "forestDrop.qjs", "Forest Drop" },
    { ThemeKind::PhotoDrop, "goldenHourDrop.qjs", "Golden Hour" },
    { ThemeKind::PhotoDrop, "halloweenDrop.qjs", "Halloween" },
    { ThemeKind::PhotoDrop, "loveLetters.qjs", "Love Letters" },
    { ThemeKind::PhotoDrop, "minimalDrop.qjs", "Minimal Drop" },
    { ThemeKind::PhotoDrop, "moodBoardDrop.qjs", "Mood Board" },
    { ThemeKind::PhotoDrop, "neonBlueDrop.qjs", "Neon Blue" },
    { ThemeKind::PhotoDrop, "neonDrop.qjs", "Neon Drop" },
    { ThemeKind::PhotoDrop, "nightDrop.qjs", "Night Drop" },
    { ThemeKind::PhotoDrop, "oceanDrop.qjs", "Ocean Drop" },
    { ThemeKind::PhotoDrop, "onBlackNoFrames.qjs", "Photo Drop on black" },
    { ThemeKind::PhotoDrop, "orderly.qjs", "Orderly" },
    { ThemeKind::PhotoDrop, "polaroidDrop.qjs", "Polaroid Drop" },
    { ThemeKind::PhotoDrop, "portfolioDrop.qjs", "Portfolio" },
    { ThemeKind::PhotoDrop, "purpleDrop.qjs", "Purple Haze" },
    { ThemeKind::PhotoDrop, "retroDrop.qjs", "Retro Drop" },
    { ThemeKind::PhotoDrop, "roseDrop.qjs", "Rose Drop" },
    { ThemeKind::PhotoDrop, "scattered.qjs", "Scattered" },
    { ThemeKind::PhotoDrop, "springDrop.qjs", "Spring Drop" },
    { ThemeKind::PhotoDrop, "storyMood.qjs", "Story Mood" },
    { ThemeKind::PhotoDrop, "summerDrop.qjs", "Summer" },
    { ThemeKind::PhotoDrop, "sunsetDrop.qjs", "Sunset Drop" },
    { ThemeKind::PhotoDrop, "travelJournal.qjs", "Travel Journal" },
    { ThemeKind::PhotoDrop, "vintage.qjs", "Vintage" },
    { ThemeKind::PhotoDrop, "weddingScatter.qjs", "Wedding Romantic" },
    { ThemeKind::Mosaic, "artistic.qjs", "Artistic" },
    { ThemeKind::Mosaic, "autumnLeaves.qjs", "Autumn Leaves" },
    { ThemeKind::Mosaic, "babyMemories.qjs", "Baby Memories" },
    { ThemeKind::Mosaic, "blackBgNoFrame.qjs", "Black border" },
    { ThemeKind::Mosaic, "boldBlack.qjs", "Bold Black" },
    { ThemeKind::Mosaic, "businessClean.qjs", "Business Clean" },
    { ThemeKind::Mosaic, "cafeBoard.qjs", "Cafe Board" },
    { ThemeKind::Mosaic, "christmasFestive.qjs", "Christmas Festive" },
    { ThemeKind::Mosaic, "cleanGrid.qjs", "Clean Grid" },
    { ThemeKind::Mosaic, "creativeChaos.qjs", "Creative Chaos" },
    { ThemeKind::Mosaic, "darkAesthetic.qjs", "Dark Aesthetic" },
    { ThemeKind::Mosaic, "deepPurple.qjs", "Deep Purple" },
    { ThemeKind::Mosaic, "default.qjs", "Mosaic" },
    { ThemeKind::Mosaic, "diamondTilt.qjs", "Diamond Tilt" },
    { ThemeKind::Mosaic, "dramatic.qjs", "Dramatic" },
    { ThemeKind::Mosaic, "elegant.qjs", "Elegant" },
    { ThemeKind::Mosaic, "familyWarm.qjs", "Family Warm" },
    { ThemeKind::Mosaic, "filmStrip.qjs", "Film Strip" },
    { ThemeKind::Mosaic, "flatLay.qjs", "Flat Lay" },
    { ThemeKind::Mosaic, "forest.qjs", "Forest" },
    { ThemeKind::Mosaic, "gallery.qjs", "Gallery" },
    { ThemeKind::Mosaic, "goldenHour.qjs", "Golden Hour" },
    { ThemeKind::Mosaic, "grunge.qjs", "Grunge" },
    { ThemeKind::Mosaic, "halloweenSpooky.qjs", "Halloween Spooky" },
    { ThemeKind::Mosaic, "instaGrid.qjs", "Insta Grid" },
    { ThemeKind::Mosaic, "kidsParty.qjs", "Kids Party" },
    { ThemeKind::Mosaic, "magazine.qjs", "Magazine" },
    { ThemeKind::Mosaic, "minimal.qjs", "Minimal" },
    { ThemeKind::Mosaic, "modern.qjs", "Modern" },
    { ThemeKind::Mosaic, "monochrome.qjs", "Monochrome" },
    { ThemeKind::Mosaic, "moodBoard.qjs", "Mood Board" },
    { ThemeKind::Mosaic, "neonBlue.qjs", "Neon Blue" },
    { ThemeKind::Mosaic, "neonPink.qjs", "Neon Pink" },
    { ThemeKind::Mosaic, "neonPop.qjs", "Neon Pop" },
    { ThemeKind::Mosaic, "nightSky.qjs", "Night Sky" },
    { ThemeKind::Mosaic, "noRotation.qjs", "No turns" },
    { ThemeKind::Mosaic, "oceanBreeze.qjs", "Ocean Breeze" },
    { ThemeKind::Mosaic, "partyPop.qjs", "Party Pop" },
    { ThemeKind::Mosaic, "pastelDream.qjs", "Pastel Dream" },
    { ThemeKind::Mosaic, "polaroid.qjs", "Polaroid" },
    { ThemeKind::Mosaic, "portfolio.qjs", "Portfolio" },
    { ThemeKind::Mosaic, "postcard.qjs", "Postcard" },
    { ThemeKind::Mosaic, "professional.qjs", "Professional" },
    { ThemeKind::Mosaic, "recipeCard.qjs", "Recipe Card" },
    { ThemeKind::Mosaic, "retro.qjs", "Retro" },
    { ThemeKind::Mosaic, "rosegold.qjs", "Rose Gold" },
    { ThemeKind::Mosaic, "scrapbook.qjs", "Scrapbook" },
    { ThemeKind::Mosaic, "sideLit.qjs", "Side Lit" },
    { ThemeKind::Mosaic, "snowWhite.qjs", "Snow White" },
    { ThemeKind::Mosaic, "springGarden.qjs", "Spring Garden" },
    { ThemeKind::Mosaic, "summerVibes.qjs", "Summer Vibes" },
    { ThemeKind::Mosaic, "sunsetGlow.qjs", "Sunset Glow" },
    { ThemeKind::Mosaic, "tight.qjs", "Tight" },
    { ThemeKind::Mosaic, "tiltedGallery.qjs", "Tilted Gallery" },
    { ThemeKind::Mosaic, "topLit.qjs", "Top Lit" },
    { ThemeKind::Mosaic, "visionBoard.qjs", "Vision Board" },
    { ThemeKind::Mosaic, "wanderlust.qjs", "Wanderlust" },
    { ThemeKind::Mosaic, "warmCozy.qjs", "Warm & Cozy" },
    { ThemeKind::Mosaic, "weddingElegant.qjs", "Wedding Elegant" },
    { ThemeKind::Mosaic, "wideSpacing.qjs", "Wide Spacing" },
    { ThemeKind::Mosaic, "winterFrost.qjs", "Winter Frost" },
};

const char photoDropFolder[] = ":/PhotoDropTemplates";
const char mosaicFolder[] = ":/MosaicTemplates";

QString folderOf(ThemeKind kind)
{
    return QString::fromLatin1(kind == ThemeKind::PhotoDrop ? photoDropFolder : mosaicFolder);
}

QString themeIdOf(ThemeKind kind)
{
    return kind == ThemeKind::PhotoDrop ? QStringLiteral("com.quorvane.collage.theme.photodrop")
                                        : QStringLiteral("com.quorvane.collage.theme.mosaic");
}

// The pages a template must look right on: square, portrait and landscape
// pixels, and physical units whose numbers are small.
const QSizeF testPages[] = {
    { 1080, 1080 },
    { 1080, 1350 },
    { 8.5, 11 },
    { 15, 10 },
    { 3000, 2000 },
};

// One write of a property or one call of a theme operation, in script order.
struct ScriptAction
{
    QString path;
    QVariant value;
    bool isCall = false;
};

struct ActionLog
{
    QList<ScriptAction> actions;
};

} // namespace

// Stand-ins for the theme's settings objects. They expose the same property
// names and types as the real classes and log every write the script makes.
class MockPart : public QObject
{
public:
    MockPart(ActionLog *log, const QString &prefix, QObject *parent)
        : QObject(parent)
        , m_log(log)
        , m_prefix(prefix)
    {
    }

protected:
    void record(const char *property, const QVariant &value)
    {
        m_log->actions.append({ m_prefix + QLatin1String(property), value, false });
    }
    void recordCall(const char *operation)
    {
        m_log->actions.append({ QLatin1String(operation), QVariant(), true });
    }

private:
    ActionLog *m_log;
    QString m_prefix;
};

class MockShadows : public MockPart
{
    Q_OBJECT
    Q_PROPERTY(bool enabled READ enabled WRITE setEnabled)
    Q_PROPERTY(qreal blurRadius READ blurRadius WRITE setBlurRadius)
    Q_PROPERTY(QColor color READ color WRITE setColor)
    Q_PROPERTY(QPointF offset READ offset WRITE setOffset)
    Q_PROPERTY(qreal angle READ angle WRITE setAngle)
    Q_PROPERTY(qreal distance READ distance WRITE setDistance)
    Q_PROPERTY(bool group READ group WRITE setGroup)

public:
    MockShadows(ActionLog *log, QObject *parent)
        : MockPart(log, QStringLiteral("shadows."), parent)
    {
    }

    bool enabled() const { return m_enabled; }
    qreal blurRadius() const { return m_blurRadius; }
    QColor color() const { return m_color; }
    QPointF offset() const { return QLineF::fromPolar(m_distance, m_angle).p2(); }
    qreal angle() const { return m_angle; }
    qreal distance() const { return m_distance; }
    bool group() const { return m_group; }

    void setEnabled(bool v)
    {
        record("enabled", v);
        m_enabled = v;
    }
    void setBlurRadius(qreal v)
    {
        record("blurRadius", v);
        m_blurRadius = v;
    }
    void setColor(const QColor &v)
    {
        record("color", v);
        m_color = v;
    }
    void setAngle(qreal v)
    {
        record("angle", v);
        m_angle = v;
    }
    void setDistance(qreal v)
    {
        record("distance", v);
        m_distance = v;
    }
    void setGroup(bool v)
    {
        record("group", v);
        m_group = v;
    }
    void setOffset(const QPointF &v)
    {
        record("offset", v);
        const QLineF line(QPointF(), v);
        m_distance = line.length();
        if (!line.isNull())
            m_angle = line.angle();
    }

    bool m_enabled = false;
    qreal m_blurRadius = 0;
    QColor m_color = Qt::black;
    qreal m_angle = 0;
    qreal m_distance = 0;
    bool m_group = false;
};

class MockFrames : public MockPart
{
    Q_OBJECT
    Q_PROPERTY(qreal size READ size WRITE setSize)
    Q_PROPERTY(QColor color READ color WRITE setColor)
    Q_PROPERTY(bool enabled READ enabled WRITE setEnabled)

public:
    MockFrames(ActionLog *log, QObject *parent)
        : MockPart(log, QStringLiteral("frames."), parent)
    {
    }

    qreal size() const { return m_size; }
    QColor color() const { return m_color; }
    bool enabled() const { return m_enabled; }
    void setSize(const qreal &v)
    {
        record("size", v);
        m_size = v;
    }
    void setColor(const QColor &v)
    {
        record("color", v);
        m_color = v;
    }
    void setEnabled(bool v)
    {
        record("enabled", v);
        m_enabled = v;
    }

    qreal m_size = 0.08;
    QColor m_color = Qt::white;
    bool m_enabled = true;
};

class MockBackground : public MockPart
{
    Q_OBJECT
    Q_PROPERTY(Type type READ type WRITE setType)
    Q_PROPERTY(QColor color READ color WRITE setColor)
    Q_PROPERTY(qreal gradientAngle READ gradientAngle WRITE setGradientAngle)
    Q_PROPERTY(QColor gradientStartColor READ gradientStartColor WRITE setGradientStartColor)
    Q_PROPERTY(QColor gradientEndColor READ gradientEndColor WRITE setGradientEndColor)

public:
    enum Type { None, Color, Gradient, Picture };
    Q_ENUM(Type)

    MockBackground(ActionLog *log, QObject *parent)
        : MockPart(log, QStringLiteral("background."), parent)
    {
    }

    Type type() const { return m_type; }
    QColor color() const { return m_color; }
    qreal gradientAngle() const { return m_gradientAngle; }
    QColor gradientStartColor() const { return m_gradientStartColor; }
    QColor gradientEndColor() const { return m_gradientEndColor; }
    void setType(Type v)
    {
        record("type", int(v));
        m_type = v;
    }
    void setColor(const QColor &v)
    {
        record("color", v);
        m_color = v;
    }
    void setGradientAngle(qreal v)
    {
        record("gradientAngle", v);
        m_gradientAngle = v;
    }
    void setGradientStartColor(const QColor &v)
    {
        record("gradientStartColor", v);
        m_gradientStartColor = v;
    }
    void setGradientEndColor(const QColor &v)
    {
        record("gradientEndColor", v);
        m_gradientEndColor = v;
    }

    Type m_type = Color;
    QColor m_color = Qt::white;
    qreal m_gradientAngle = 180.0;
    QColor m_gradientStartColor = Qt::white;
    QColor m_gradientEndColor = Qt::black;
};

class MockRotation : public MockPart
{
    Q_OBJECT
    Q_PROPERTY(qreal zero READ zero WRITE setZero)
    Q_PROPERTY(qreal variation READ variation WRITE setVariation)

public:
    MockRotation(ActionLog *log, QObject *parent)
        : MockPart(log, QStringLiteral("rotationRestrictions."), parent)
    {
    }

    qreal zero() const { return m_zero; }
    qreal variation() const { return m_variation; }
    void setZero(qreal v)
    {
        record("zero", v);
        m_zero = v;
    }
    void setVariation(qreal v)
    {
        record("variation", v);
        m_variation = v;
    }

    qreal m_zero = 0;
    qreal m_variation = 180.0;
};

class MockPageSize : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QSizeF size READ size CONSTANT)

public:
    MockPageSize(const QSizeF &size, QObject *parent)
        : QObject(parent)
        , m_size(size)
    {
    }
    QSizeF size() const { return m_size; }

private:
    QSizeF m_size;
};

class MockDocument : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QObject *pageSize READ pageSize CONSTANT)

public:
    MockDocument(const QSizeF &size, QObject *parent)
        : QObject(parent)
        , m_pageSize(size, this)
    {
    }
    QObject *pageSize() { return &m_pageSize; }

private:
    MockPageSize m_pageSize;
};

class MockTheme : public MockPart
{
    Q_OBJECT
    Q_PROPERTY(QObject *document READ document CONSTANT)
    Q_PROPERTY(QObject *shadows READ shadows CONSTANT)
    Q_PROPERTY(QObject *frames READ frames CONSTANT)
    Q_PROPERTY(QObject *background READ background CONSTANT)
    Q_PROPERTY(QObject *rotationRestrictions READ rotationRestrictions CONSTANT)

public:
    MockTheme(ActionLog *log, const QSizeF &page)
        : MockPart(log, QString(), nullptr)
        , m_document(page, this)
        , m_shadows(log, this)
        , m_frames(log, this)
        , m_background(log, this)
        , m_rotation(log, this)
    {
    }

    QObject *document() { return &m_document; }
    QObject *shadows() { return &m_shadows; }
    QObject *frames() { return &m_frames; }
    QObject *background() { return &m_background; }
    QObject *rotationRestrictions() { return &m_rotation; }

public slots:
    void rearrange() { recordCall("rearrange"); }

public:
    MockDocument m_document;
    MockShadows m_shadows;
    MockFrames m_frames;
    MockBackground m_background;
    MockRotation m_rotation;
};

class MockPhotoDropTheme : public MockTheme
{
    Q_OBJECT

public:
    MockPhotoDropTheme(ActionLog *log, const QSizeF &page)
        : MockTheme(log, page)
    {
        // A new Photo Drop theme already casts a soft shadow straight down.
        const qreal m = qMin(page.width(), page.height()) * 0.03;
        m_shadows.m_blurRadius = m;
        m_shadows.m_distance = m * 0.3;
        m_shadows.m_angle = 270;
    }

public slots:
    void randomize() { recordCall("randomize"); }
};

class MockMosaicTheme : public MockTheme
{
    Q_OBJECT
    Q_PROPERTY(qreal border READ border WRITE setBorder)
    Q_PROPERTY(qreal borderRelative READ borderRelative WRITE setBorderRelative)
    Q_PROPERTY(qreal minimumItemSize READ minimumItemSize)

public:
    MockMosaicTheme(ActionLog *log, const QSizeF &page)
        : MockTheme(log, page)
        , m_minimumItemSize(qMin(page.width(), page.height()) * 0.5)
    {
    }

    qreal border() const { return m_borderRelative * m_minimumItemSize * 0.5; }
    qreal borderRelative() const { return m_borderRelative; }
    qreal minimumItemSize() const { return m_minimumItemSize; }

public slots:
    void setBorder(qreal v)
    {
        record("border", v);
        m_borderRelative = qBound(0.0, v / (m_minimumItemSize * 0.5), 1.0);
    }
    void setBorderRelative(qreal v)
    {
        record("borderRelative", v);
        m_borderRelative = qBound(0.0, v, 1.0);
    }

public:
    qreal m_borderRelative = 0;
    qreal m_minimumItemSize;
};

// What a template script sees as `template` while it is evaluated.
class MockTemplate : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString name READ name WRITE setName NOTIFY nameChanged)
    Q_PROPERTY(QString themeId READ themeId WRITE setThemeId NOTIFY themeIdChanged)
    Q_PROPERTY(QObject *currentPageSize READ currentPageSize CONSTANT)

public:
    MockTemplate(const QString &themeId, const QSizeF &page)
        : m_themeId(themeId)
        , m_currentPageSize(page, this)
    {
    }

    QString name() const { return m_name; }
    QString themeId() const { return m_themeId; }
    QObject *currentPageSize() { return &m_currentPageSize; }

public slots:
    void setName(const QString &name)
    {
        if (name != m_name) {
            m_name = name;
            emit nameChanged(name);
        }
    }
    void setThemeId(const QString &id)
    {
        if (id != m_themeId) {
            m_themeId = id;
            emit themeIdChanged(id);
        }
    }

signals:
    void nameChanged(const QString &name);
    void themeIdChanged(const QString &id);

private:
    QString m_name;
    QString m_themeId;
    MockPageSize m_currentPageSize;
};

namespace {

// Values in page units that must be written as a fraction of the shorter page side.
bool isPageRelative(const QString &path)
{
    return path == QLatin1String("shadows.blurRadius") || path == QLatin1String("shadows.distance")
        || path == QLatin1String("shadows.offset") || path == QLatin1String("border");
}

struct ValueRange
{
    const char *path;
    double min;
    double max;
};

// The ranges the themes are designed for; page-relative entries are
// fractions of the shorter page side.
const ValueRange valueRanges[] = {
    { "shadows.blurRadius", 0.01, 0.1 },
    { "shadows.distance", 0.002, 0.025 },
    { "shadows.angle", 90, 225 },
    { "frames.size", 0.005, 0.08 },
    { "background.gradientAngle", 0, 180 },
    { "background.type", 2, 2 },
    { "rotationRestrictions.zero", -5, 45 },
    { "rotationRestrictions.variation", 0, 35 },
    { "borderRelative", 0.02, 0.6 },
};

const ValueRange *rangeOf(const QString &path)
{
    for (const ValueRange &range : valueRanges) {
        if (path == QLatin1String(range.path))
            return &range;
    }
    return nullptr;
}

bool inRange(double value, double min, double max)
{
    const double tolerance = 1e-9 * qMax(1.0, qAbs(max));
    return std::isfinite(value) && value >= min - tolerance && value <= max + tolerance;
}

QStringList allowedPaths(ThemeKind kind)
{
    QStringList paths = {
        "document.pageSize.size.width",
        "document.pageSize.size.height",
        "shadows.enabled",
        "shadows.blurRadius",
        "shadows.angle",
        "shadows.distance",
        "shadows.color",
        "shadows.group",
        "shadows.offset",
        "frames.enabled",
        "frames.size",
        "frames.color",
        "background.type",
        "background.color",
        "background.gradientStartColor",
        "background.gradientEndColor",
        "background.gradientAngle",
        "rotationRestrictions.zero",
        "rotationRestrictions.variation",
    };
    if (kind == ThemeKind::PhotoDrop)
        paths << "randomize"
              << "rearrange";
    else
        paths << "borderRelative"
              << "border"
              << "minimumItemSize";
    return paths;
}

QString describeValue(const QString &path, const QVariant &value, qreal shorterSide)
{
    if (value.metaType().id() == QMetaType::QColor) {
        const QColor color = value.value<QColor>();
        return color.name(color.alpha() == 255 ? QColor::HexRgb : QColor::HexArgb);
    }
    if (value.metaType().id() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    if (value.metaType().id() == QMetaType::QPointF) {
        const QPointF p = value.toPointF() / shorterSide;
        return QStringLiteral("m*(%1, %2)").arg(p.x(), 0, 'g', 6).arg(p.y(), 0, 'g', 6);
    }
    if (isPageRelative(path))
        return QStringLiteral("m*") + QString::number(value.toDouble() / shorterSide, 'g', 6);
    return QString::number(value.toDouble(), 'g', 6);
}

struct TuneRun
{
    QSizeF page;
    qreal shorterSide = 0;
    QString error;
    QList<ScriptAction> actions;
    QStringList normalisedActions; // page units expressed as fractions of the shorter side
    QVariantMap finalState;
    QString finalStateText;
};

void collectState(const QString &prefix, const QObject *object, qreal shorterSide, TuneRun &run)
{
    const QMetaObject *meta = object->metaObject();
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (property.metaType().id() == QMetaType::QObjectStar)
            continue;
        const QString path = prefix + QLatin1String(property.name());
        QVariant value = property.read(object);
        if (property.isEnumType())
            value = value.toInt();
        run.finalState.insert(path, value);
        const bool relative = isPageRelative(path) || path == QLatin1String("minimumItemSize");
        const QString text = relative && value.metaType().id() != QMetaType::QPointF
            ? QStringLiteral("m*") + QString::number(value.toDouble() / shorterSide, 'g', 6)
            : describeValue(path, value, shorterSide);
        run.finalStateText += path + QLatin1Char('=') + text + QLatin1Char('\n');
    }
}

TuneRun runTune(QJSEngine &engine, ThemeKind kind, const QSizeF &page)
{
    TuneRun run;
    run.page = page;
    run.shorterSide = qMin(page.width(), page.height());

    ActionLog log;
    std::unique_ptr<MockTheme> theme;
    if (kind == ThemeKind::PhotoDrop)
        theme = std::make_unique<MockPhotoDropTheme>(&log, page);
    else
        theme = std::make_unique<MockMosaicTheme>(&log, page);
    QJSEngine::setObjectOwnership(theme.get(), QJSEngine::CppOwnership);

    const QJSValue tune = engine.globalObject().property(QStringLiteral("tune"));
    const QJSValue result = tune.call({ engine.newQObject(theme.get()) });
    if (result.isError())
        run.error = result.toString();
    else if (!result.isUndefined())
        run.error = QStringLiteral("tune returned or threw the value ") + result.toString();

    run.actions = log.actions;
    for (const ScriptAction &action : std::as_const(run.actions)) {
        run.normalisedActions << (action.isCall ? action.path + QStringLiteral("()")
                                                : action.path + QLatin1Char('=')
                    + describeValue(action.path, action.value, run.shorterSide));
    }
    collectState(QString(), theme.get(), run.shorterSide, run);
    collectState(QStringLiteral("shadows."), &theme->m_shadows, run.shorterSide, run);
    collectState(QStringLiteral("frames."), &theme->m_frames, run.shorterSide, run);
    collectState(QStringLiteral("background."), &theme->m_background, run.shorterSide, run);
    collectState(QStringLiteral("rotationRestrictions."), &theme->m_rotation, run.shorterSide, run);
    return run;
}

// Everything wrong with one call of `tune`; empty when the run is sound.
QStringList tuneProblems(const TuneRun &run, ThemeKind kind, bool expectRandomize)
{
    QStringList problems;
    const QString where
        = QStringLiteral(" (page %1 x %2)").arg(run.page.width()).arg(run.page.height());
    if (!run.error.isEmpty())
        problems << QStringLiteral("tune threw: ") + run.error + where;

    QSet<QString> written;
    QStringList calls;
    for (const ScriptAction &action : run.actions) {
        if (action.isCall) {
            calls << action.path;
            continue;
        }
        if (written.contains(action.path))
            problems << action.path + QStringLiteral(" written twice");
        written.insert(action.path);

        if (action.value.metaType().id() == QMetaType::QColor
            && !action.value.value<QColor>().isValid())
            problems << action.path + QStringLiteral(" is not a valid colour");

        if (action.path == QLatin1String("border")) {
            const double relative = action.value.toDouble()
                / (run.finalState.value("minimumItemSize").toDouble() * 0.5);
            if (!inRange(relative, 0.02, 0.6))
                problems << QStringLiteral("border out of range: relative %1").arg(relative)
                        + where;
        } else if (action.path == QLatin1String("shadows.offset")) {
            const QLineF line(QPointF(), action.value.toPointF());
            if (!inRange(line.length() / run.shorterSide, 0.002, 0.025)
                || !inRange(line.angle(), 90, 225))
                problems << QStringLiteral("shadows.offset out of range") + where;
        } else if (const ValueRange *range = rangeOf(action.path)) {
            double value = action.value.toDouble();
            if (isPageRelative(action.path))
                value /= run.shorterSide;
            if (!inRange(value, range->min, range->max)) {
                problems << QStringLiteral("%1 out of range: %2 not in [%3, %4]")
                                .arg(action.path)
                                .arg(value)
                                .arg(range->min)
                                .arg(range->max)
                        + where;
            }
        }
    }

    if (kind == ThemeKind::PhotoDrop) {
        if (expectRandomize) {
            if (calls.count(QStringLiteral("randomize")) != 1)
                problems << QStringLiteral("randomize() must be called exactly once");
            if (run.actions.isEmpty() || !run.actions.last().isCall
                || run.actions.last().path != QLatin1String("randomize"))
                problems << QStringLiteral("randomize() must be the last thing tune does");
        } else if (calls.contains(QStringLiteral("randomize"))) {
            problems << QStringLiteral("randomize() must not be called here");
        }
    } else {
        if (!calls.isEmpty())
            problems << QStringLiteral("a Mosaic script calls a theme operation: ")
                    + calls.join(", ");
        if (!written.contains(QStringLiteral("borderRelative")))
            problems << QStringLiteral("borderRelative is not set");
    }

    // The class default variation (180) spins photos all the way round, so
    // every look has to choose its own.
    const QVariantMap &state = run.finalState;
    if (!inRange(state.value("rotationRestrictions.variation").toDouble(), 0, 35))
        problems << QStringLiteral("rotationRestrictions.variation left outside [0, 35]");
    if (!inRange(state.value("rotationRestrictions.zero").toDouble(), -5, 45))
        problems << QStringLiteral("rotationRestrictions.zero left outside [-5, 45]");

    const bool shadowsOn = state.value("shadows.enabled").toBool();
    if (shadowsOn
        && !inRange(state.value("shadows.blurRadius").toDouble() / run.shorterSide, 0.01, 0.1))
        problems << QStringLiteral("enabled shadows have a blur radius outside the range") + where;
    for (const char *path : { "shadows.blurRadius", "shadows.distance", "shadows.angle",
             "shadows.color", "shadows.group", "shadows.offset" }) {
        if (written.contains(QLatin1String(path)) && !shadowsOn)
            problems << QLatin1String(path)
                    + QStringLiteral(" is set but shadows.enabled is not on");
    }
    const bool framesOn = state.value("frames.enabled").toBool();
    if (framesOn && !inRange(state.value("frames.size").toDouble(), 0.005, 0.08))
        problems << QStringLiteral("enabled frames have a size outside the range");
    for (const char *path : { "frames.size", "frames.color" }) {
        if (written.contains(QLatin1String(path)) && !framesOn)
            problems << QLatin1String(path)
                    + QStringLiteral(" is set but frames.enabled is not on");
    }

    const bool gradient = state.value("background.type").toInt() == 2;
    const bool gradientColours = written.contains(QStringLiteral("background.gradientStartColor"))
        && written.contains(QStringLiteral("background.gradientEndColor"));
    if (gradient && !gradientColours)
        problems << QStringLiteral("a gradient background needs both gradient colours");
    if (!gradient
        && (written.contains(QStringLiteral("background.gradientStartColor"))
            || written.contains(QStringLiteral("background.gradientEndColor"))
            || written.contains(QStringLiteral("background.gradientAngle"))))
        problems << QStringLiteral("gradient settings without a gradient background");
    if (gradient && written.contains(QStringLiteral("background.color")))
        problems << QStringLiteral("background.color is hidden by the gradient");
    return problems;
}

// The fixed pattern the program uses to read a template's name without running it.
const QRegularExpression namePattern(QStringLiteral("template\\.name\\s*=\\s*['\"]([^'\"]+)['\"]"));

struct ScriptCheck
{
    QStringList problems;
    QList<TuneRun> runs;
};

// Evaluates a script the way the template engine does and tunes a stand-in
// theme on every test page.
ScriptCheck checkScript(
    const QByteArray &script, ThemeKind kind, const QString &expectedName, bool expectRandomize)
{
    ScriptCheck check;
    QStringList &problems = check.problems;

    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(script);
    if (decoder.hasError())
        problems << QStringLiteral("the file is not valid UTF-8");

    const QRegularExpressionMatch match = namePattern.match(text);
    const qsizetype firstLineEnd = text.indexOf(QLatin1Char('\n'));
    if (!match.hasMatch())
        problems << QStringLiteral("no template.name assignment the name reader can find");
    else if (match.captured(1) != expectedName)
        problems << QStringLiteral("the name reader finds \"%1\"").arg(match.captured(1));
    else if (firstLineEnd >= 0 && match.capturedStart() > firstLineEnd)
        problems << QStringLiteral("template.name is not assigned on line one");

    static const QRegularExpression pathPattern(
        QStringLiteral("\\btheme((?:\\s*\\.\\s*[A-Za-z_$][\\w$]*)+)"));
    const QStringList allowed = allowedPaths(kind);
    for (auto it = pathPattern.globalMatch(text); it.hasNext();) {
        QString path = it.next().captured(1);
        path.remove(QRegularExpression(QStringLiteral("\\s")));
        path.remove(0, 1);
        if (!allowed.contains(path))
            problems << QStringLiteral("unknown path theme.") + path;
    }

    QJSEngine engine;
    MockTemplate templateObject(themeIdOf(kind), testPages[0]);
    QJSEngine::setObjectOwnership(&templateObject, QJSEngine::CppOwnership);
    engine.globalObject().setProperty(
        QStringLiteral("template"), engine.newQObject(&templateObject));
    QStringList stackTrace;
    const QJSValue evaluated = engine.evaluate(text, QString(), 1, &stackTrace);
    engine.globalObject().setProperty(
        QStringLiteral("template"), QJSValue(QJSValue::UndefinedValue));
    if (evaluated.isError() || !stackTrace.isEmpty()) {
        problems << QStringLiteral("evaluation failed: ") + evaluated.toString();
        return check;
    }
    if (templateObject.name() != expectedName)
        problems << QStringLiteral("template.name is \"%1\"").arg(templateObject.name());
    if (!engine.globalObject().property(QStringLiteral("tune")).isCallable()) {
        problems << QStringLiteral("tune is not defined");
        return check;
    }

    // One engine serves every theme made from a template, as in the program.
    for (const QSizeF &page : testPages) {
        check.runs << runTune(engine, kind, page);
        problems << tuneProblems(check.runs.last(), kind, expectRandomize);
    }
    for (const TuneRun &run : std::as_const(check.runs)) {
        if (run.normalisedActions.size() != check.runs.first().normalisedActions.size()) {
            problems << QStringLiteral("tune does different things on different pages");
            break;
        }
        for (int i = 0; i < run.normalisedActions.size(); ++i) {
            if (run.normalisedActions.at(i) != check.runs.first().normalisedActions.at(i)) {
                problems << QStringLiteral(
                    "the look does not scale with the page: %1 on %2 x %3 but %4 on %5 x %6")
                                .arg(run.normalisedActions.at(i))
                                .arg(run.page.width())
                                .arg(run.page.height())
                                .arg(check.runs.first().normalisedActions.at(i))
                                .arg(check.runs.first().page.width())
                                .arg(check.runs.first().page.height());
                break;
            }
        }
    }
    problems.removeDuplicates();
    return check;
}

QByteArray readResource(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

QString resourcePath(const TemplateEntry &entry)
{
    return folderOf(entry.kind) + QLatin1Char('/') + QLatin1String(entry.file);
}

bool expectsRandomize(const TemplateEntry &entry)
{
    return entry.kind == ThemeKind::PhotoDrop && qstrcmp(entry.file, "portfolioDrop.qjs") != 0;
}

} // namespace

Q_DECLARE_METATYPE(ThemeKind)

class TestTemplateScripts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void resourceFolders_data();
    void resourceFolders();
    void script_data();
    void script();
    void referenceFiles_data();
    void referenceFiles();
    void filesAreDistinct();
    void looksAreDistinct();
    void checkerCatchesFaults_data();
    void checkerCatchesFaults();
};

void TestTemplateScripts::initTestCase()
{
    QCOMPARE(int(std::size(templateTable)), 97);
}

void TestTemplateScripts::resourceFolders_data()
{
    QTest::addColumn<ThemeKind>("kind");
    QTest::addColumn<int>("expectedCount");
    QTest::newRow("Photo Drop") << ThemeKind::PhotoDrop << 36;
    QTest::newRow("Mosaic") << ThemeKind::Mosaic << 61;
}

void TestTemplateScripts::resourceFolders()
{
    QFETCH(ThemeKind, kind);
    QFETCH(int, expectedCount);

    // Listed the way the template discovery lists a folder.
    QDir dir(folderOf(kind));
    QVERIFY2(dir.exists(), qPrintable(dir.path()));
    const QStringList listed = dir.entryList({ QStringLiteral("*.qjs") },
        QDir::Files | QDir::Readable | QDir::NoDotAndDotDot, QDir::NoSort);
    QStringList expected;
    for (const TemplateEntry &entry : templateTable) {
        if (entry.kind == kind)
            expected << QLatin1String(entry.file);
    }
    QCOMPARE(expected.size(), expectedCount);
    QStringList sortedListed = listed;
    sortedListed.sort();
    expected.sort();
    QCOMPARE(sortedListed, expected);
}

void TestTemplateScripts::script_data()
{
    QTest::addColumn<ThemeKind>("kind");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("randomizes");
    for (const TemplateEntry &entry : templateTable) {
        const QString path = resourcePath(entry);
        QTest::newRow(qPrintable(path))
            << entry.kind << path << QString::fromUtf8(entry.name) << expectsRandomize(entry);
    }
}

void TestTemplateScripts::script()
{
    QFETCH(ThemeKind, kind);
    QFETCH(QString, path);
    QFETCH(QString, name);
    QFETCH(bool, randomizes);

    QVERIFY2(QFile::exists(path), qPrintable(path));
    const QByteArray script = readResource(path);
    QVERIFY(!script.isEmpty());
    const ScriptCheck check = checkScript(script, kind, name, randomizes);
    QVERIFY2(check.problems.isEmpty(), qPrintable(check.problems.join(QLatin1Char('\n'))));
    QCOMPARE(check.runs.size(), int(std::size(testPages)));
}

void TestTemplateScripts::referenceFiles_data()
{
    QTest::addColumn<ThemeKind>("kind");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("expectedActions");
    QTest::addColumn<bool>("straySemicolon");

    QTest::newRow("Photo Drop default")
        << ThemeKind::PhotoDrop << QString::fromLatin1(photoDropFolder) + "/default.qjs"
        << QStringList { "shadows.enabled=true", "shadows.blurRadius=m*0.05",
               "rotationRestrictions.variation=15", "randomize()" }
        << false;
    QTest::newRow("Mosaic default")
        << ThemeKind::Mosaic << QString::fromLatin1(mosaicFolder) + "/default.qjs"
        << QStringList { "borderRelative=0.3", "shadows.enabled=true", "shadows.blurRadius=m*0.05",
               "shadows.group=true", "rotationRestrictions.variation=15" }
        << true;
    QTest::newRow("Cork Board") << ThemeKind::PhotoDrop
                                << QString::fromLatin1(photoDropFolder) + "/corkBoard.qjs"
                                << QStringList { "rotationRestrictions.variation=18",
                                       "frames.enabled=true", "frames.size=0.04",
                                       "frames.color=#ffffff", "shadows.enabled=true",
                                       "shadows.blurRadius=m*0.03", "shadows.distance=m*0.01",
                                       "shadows.group=false", "background.color=#c4956a",
                                       "randomize()" }
                                << false;
}

void TestTemplateScripts::referenceFiles()
{
    QFETCH(ThemeKind, kind);
    QFETCH(QString, path);
    QFETCH(QStringList, expectedActions);
    QFETCH(bool, straySemicolon);

    const QByteArray script = readResource(path);
    QVERIFY(!script.isEmpty());
    QCOMPARE(script.trimmed().endsWith("};"), straySemicolon);

    QJSEngine engine;
    MockTemplate templateObject(themeIdOf(kind), testPages[0]);
    QJSEngine::setObjectOwnership(&templateObject, QJSEngine::CppOwnership);
    engine.globalObject().setProperty(
        QStringLiteral("template"), engine.newQObject(&templateObject));
    QVERIFY(!engine.evaluate(QString::fromUtf8(script)).isError());
    engine.globalObject().setProperty(
        QStringLiteral("template"), QJSValue(QJSValue::UndefinedValue));
    for (const QSizeF &page : testPages) {
        const TuneRun run = runTune(engine, kind, page);
        QVERIFY2(run.error.isEmpty(), qPrintable(run.error));
        QCOMPARE(run.normalisedActions, expectedActions);
    }
}

void TestTemplateScripts::filesAreDistinct()
{
    QHash<QByteArray, QString> seen;
    for (const TemplateEntry &entry : templateTable) {
        const QString path = resourcePath(entry);
        const QByteArray script = readResource(path);
        QVERIFY2(!script.isEmpty(), qPrintable(path));
        const QString twin = seen.value(script);
        QVERIFY2(twin.isEmpty(), qPrintable(path + " is identical to " + twin));
        seen.insert(script, path);
    }
    QCOMPARE(seen.size(), int(std::size(templateTable)));
}

void TestTemplateScripts::looksAreDistinct()
{
    // Different text is not enough: two templates of one theme must also
    // leave the theme in different states.
    QHash<QString, QString> seen;
    for (const TemplateEntry &entry : templateTable) {
        const QString path = resourcePath(entry);
        const ScriptCheck check = checkScript(
            readResource(path), entry.kind, QString::fromUtf8(entry.name), expectsRandomize(entry));
        QVERIFY2(!check.runs.isEmpty(), qPrintable(path));
        const QString key = QString::number(int(entry.kind)) + QLatin1Char('\n')
            + check.runs.first().finalStateText;
        const QString twin = seen.value(key);
        QVERIFY2(twin.isEmpty(), qPrintable(path + " gives the same look as " + twin));
        seen.insert(key, path);
    }
}

void TestTemplateScripts::checkerCatchesFaults_data()
{
    QTest::addColumn<ThemeKind>("kind");
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<QString>("expectedProblem");

    const QByteArray head = "template.name = \"Test\";\nfunction tune(theme) {\n"
                            "    var m = Math.min(theme.document.pageSize.size.width, "
                            "theme.document.pageSize.size.height);\n";
    const QByteArray sound = "    theme.rotationRestrictions.variation = 10;\n";
    const QByteArray tail = "    theme.randomize();\n}\n";
    const QByteArray mosaicTail = "    theme.borderRelative = 0.2;\n}\n";
    const ThemeKind pd = ThemeKind::PhotoDrop;
    const ThemeKind mo = ThemeKind::Mosaic;

    QTest::newRow("sound control") << pd << head + sound + tail << QString();
    QTest::newRow("sound Mosaic control") << mo << head + sound + mosaicTail << QString();
    QTest::newRow("syntax error") << pd
                                  << QByteArray(
                                         "template.name = \"Test\";\nfunction tune(theme) {\n")
                                  << "evaluation failed";
    QTest::newRow("wrong name") << pd
                                << QByteArray(head + sound + tail).replace("\"Test\"", "\"Other\"")
                                << "name reader";
    QTest::newRow("name not on line one")
        << pd << "// comment\n" + head + sound + tail << "line one";
    QTest::newRow("no tune") << pd << QByteArray("template.name = \"Test\";\n")
                             << "tune is not defined";
    QTest::newRow("blur too large") << pd
                                    << head + sound
            + "    theme.shadows.enabled = true;\n"
              "    theme.shadows.blurRadius = m * 0.2;\n"
            + tail << "shadows.blurRadius out of range";
    QTest::newRow("blur in fixed units") << pd
                                         << head + sound
            + "    theme.shadows.enabled = true;\n"
              "    theme.shadows.blurRadius = 40;\n"
            + tail << "does not scale";
    QTest::newRow("shadow angle pointing down") << pd
                                                << head + sound
            + "    theme.shadows.enabled = true;\n"
              "    theme.shadows.angle = 270;\n"
            + tail << "shadows.angle out of range";
    QTest::newRow("missing randomize") << pd << head + sound + "}\n"
                                       << "exactly once";
    QTest::newRow("randomize not last") << pd
                                        << head + sound
            + "    theme.randomize();\n"
              "    theme.frames.size = 0.05;\n}\n"
                                        << "last thing";
    QTest::newRow("randomize where it must not be")
        << pd << head + sound + tail << "must not be called";
    QTest::newRow("variation left at default") << pd << head + tail << "variation left outside";
    QTest::newRow("misspelt property")
        << pd << head + sound + "    theme.shadows.blurRadus = m * 0.05;\n" + tail
        << "unknown path theme.shadows.blurRadus";
    QTest::newRow("unknown colour")
        << pd << head + sound + "    theme.frames.color = \"nosuchcolour\";\n" + tail
        << "tune threw";
    QTest::newRow("gradient without colours")
        << pd << head + sound + "    theme.background.type = 2;\n" + tail
        << "both gradient colours";
    QTest::newRow("written twice") << pd << head + sound + sound + tail << "written twice";
    QTest::newRow("shadow settings while disabled") << pd
                                                    << head + sound
            + "    theme.shadows.enabled = false;\n"
              "    theme.shadows.distance = m * 0.01;\n"
            + tail << "shadows.enabled is not on";
    QTest::newRow("template used in tune")
        << pd << head + sound + "    theme.frames.color = template.name;\n" + tail << "tune threw";
    QTest::newRow("Mosaic without spacing") << mo << head + sound + "}\n"
                                            << "borderRelative is not set";
    QTest::newRow("Mosaic calls an operation")
        << mo << head + sound + "    theme.rearrange();\n" + mosaicTail << "theme operation";
    QTest::newRow("Mosaic border too wide")
        << mo << head + sound + "    theme.border = m * 10;\n" + mosaicTail
        << "border out of range";
    QTest::newRow("Mosaic randomizes") << mo << head + sound + tail << "tune threw";
}

void TestTemplateScripts::checkerCatchesFaults()
{
    QFETCH(ThemeKind, kind);
    QFETCH(QByteArray, script);
    QFETCH(QString, expectedProblem);

    const bool randomizes = kind == ThemeKind::PhotoDrop
        && QByteArray(QTest::currentDataTag()) != "randomize where it must not be";
    const ScriptCheck check = checkScript(script, kind, QStringLiteral("Test"), randomizes);
    const QString problems = check.problems.join(QLatin1Char('\n'));
    if (expectedProblem.isEmpty())
        QVERIFY2(check.problems.isEmpty(), qPrintable(problems));
    else
        QVERIFY2(problems.contains(expectedProblem), qPrintable("got: " + problems));
}

QTEST_MAIN(TestTemplateScripts)
#include "tst_templatescripts.moc"
