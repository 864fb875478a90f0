// Draws the sample pictures that ship with Tesselo: small landscapes made
// of gradients, hills and light noise, so that template previews and the
// command line have photo-like material without any outside files.
//
//     make_sample_pictures OUTPUT_FOLDER

#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>

#include <cmath>

namespace {

struct Palette
{
    QColor skyTop, skyBottom, sun, far, near, ground;
};

QPainterPath hills(const QSize &size, double base, double amplitude, double frequency, double phase)
{
    QPainterPath path(QPointF(0, size.height()));
    for (int x = 0; x <= size.width(); x += 4) {
        const double t = double(x) / size.width();
        const double y = base
            + amplitude
                * (std::sin(t * frequency + phase) * 0.6
                    + std::sin(t * frequency * 2.7 + phase * 1.3) * 0.3
                    + std::sin(t * frequency * 6.1 + phase) * 0.1);
        path.lineTo(x, y * size.height());
    }
    path.lineTo(size.width(), size.height());
    path.closeSubpath();
    return path;
}

void addGrain(QImage &image, QRandomGenerator &random)
{
    for (int y = 0; y < image.height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int noise = int(random.bounded(7)) - 3;
            const QRgb p = line[x];
            line[x] = qRgb(qBound(0, qRed(p) + noise, 255), qBound(0, qGreen(p) + noise, 255),
                qBound(0, qBlue(p) + noise, 255));
        }
    }
}

QImage landscape(const QSize &size, const Palette &palette, quint32 seed, bool grain = true)
{
    QRandomGenerator random(seed);
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, palette.skyTop);
    sky.setColorAt(0.7, palette.skyBottom);
    painter.fillRect(image.rect(), sky);

    const QPointF sunCentre(size.width() * (0.2 + 0.6 * random.generateDouble()),
        size.height() * (0.2 + 0.2 * random.generateDouble()));
    const double sunRadius = size.height() * 0.09;
    QRadialGradient glow(sunCentre, sunRadius * 4);
    QColor halo = palette.sun;
    halo.setAlpha(110);
    glow.setColorAt(0, halo);
    glow.setColorAt(1, Qt::transparent);
    painter.fillRect(image.rect(), glow);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette.sun);
    painter.drawEllipse(sunCentre, sunRadius, sunRadius);

    const double phase = random.generateDouble() * 6;
    painter.setBrush(palette.far);
    painter.drawPath(hills(size, 0.55, 0.08, 7, phase));
    painter.setBrush(palette.near);
    painter.drawPath(hills(size, 0.68, 0.06, 4, phase + 2));
    QLinearGradient ground(0, size.height() * 0.75, 0, size.height());
    ground.setColorAt(0, palette.ground);
    ground.setColorAt(1, palette.ground.darker(160));
    painter.setBrush(ground);
    painter.drawPath(hills(size, 0.8, 0.03, 3, phase + 4));
    painter.end();

    if (grain)
        addGrain(image, random);
    return image;
}

bool save(const QImage &image, const QString &path, int quality)
{
    QImageWriter writer(path);
    writer.setQuality(quality);
    return writer.write(image);
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);

    const Palette palettes[] = {
        { "#2b5876", "#f6c28b", "#fff1c1", "#4e4376", "#3b3355", "#1f2a38" }, // dusk
        { "#6fb1fc", "#dff3ff", "#fffbe0", "#7fa7a0", "#4f7f61", "#35573a" }, // summer valley
        { "#0f2027", "#ff9a5a", "#ffd27f", "#55394f", "#2e2433", "#161018" }, // sunset
        { "#89c4e8", "#f3f8fb", "#ffffff", "#b7c9d6", "#8aa4b8", "#e8eef2" }, // snow
        { "#3a7bd5", "#c9e9f6", "#fff7d6", "#2f8f83", "#1e6b5c", "#d8c39a" }, // coast
        { "#ee9ca7", "#ffdde1", "#fff4e8", "#b9848c", "#8c5d66", "#5b3d44" }, // rose morning
        { "#16222a", "#3a6073", "#e6f0ff", "#24343f", "#1a262e", "#0e161b" }, // night
    };
    const QSize sizes[] = { { 1200, 800 }, { 800, 1200 }, { 1000, 1000 }, { 1200, 675 },
        { 900, 1200 }, { 1200, 900 }, { 1200, 800 } };
    int failures = 0;
    for (int i = 0; i < 7; ++i) {
        const QImage image = landscape(sizes[i], palettes[i], quint32(1000 + i));
        failures += !save(image, QStringLiteral("%1/sample%2.jpg").arg(folder).arg(i + 1), 82);
    }
    // The neutral picture that stands in for photos in template previews.
    failures += !save(
        landscape({ 480, 360 },
            { "#8fa9bf", "#dfe7ee", "#ffffff", "#9aa8b5", "#7d8b98", "#65717d" }, 7, false),
        folder + QStringLiteral("/imageTemplate.png"), -1);
    return failures ? 1 : 0;
}
