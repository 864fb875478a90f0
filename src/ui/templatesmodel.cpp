#include "templatesmodel.h"

#include <QDir>
#include <QElapsedTimer>
#include <QPainter>
#include <QPixmap>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTimer>

#include "themes/template.h"
#include "themes/themeregistry.h"

namespace {

// One batch of previews holds the GUI thread about this long.
constexpr qint64 BatchMilliseconds = 12;

QIcon makePlaceholder()
{
    QPixmap pixmap(TemplatesModel::PreviewSize, TemplatesModel::PreviewSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(240, 240, 240));
    painter.drawRoundedRect(QRectF(21, 21, 214, 214), 21, 21);
    painter.end();
    return QIcon(pixmap);
}

QString previewFolder()
{
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (cache.isEmpty())
        return QString();
    const QString folder = cache + QStringLiteral("/template_previews");
    return QDir().mkpath(folder) ? folder : QString();
}

// Written through a temporary file, so that a crash or a full disk never
// leaves half a picture under the final name.
void savePreview(const QPixmap &pixmap, const QString &path)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && pixmap.save(&file, "PNG"))
        file.commit();
}

} // namespace

TemplatesModel::TemplatesModel(Document *document, QObject *parent)
    : TemplatesModel(ThemeRegistry::templates(document), parent)
{
}

TemplatesModel::TemplatesModel(const QList<QSharedPointer<Template>> &templates, QObject *parent)
    : QAbstractListModel(parent)
    , m_templates(templates)
    , m_icons(templates.size())
    , m_placeholder(makePlaceholder())
{
}

TemplatesModel::~TemplatesModel() = default;

int TemplatesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_templates.size());
}

QVariant TemplatesModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_templates.size())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return m_templates.at(index.row())->name();
    case Qt::DecorationRole: {
        const QIcon &icon = m_icons.at(index.row());
        return icon.isNull() ? m_placeholder : icon;
    }
    default:
        return QVariant();
    }
}

QSharedPointer<Template> TemplatesModel::templateAt(int row) const
{
    return m_templates.value(row);
}

void TemplatesModel::setCurrentPageSize(const PageSize &pageSize)
{
    if (pageSize == m_currentPageSize)
        return;
    m_currentPageSize = pageSize;
    for (const QSharedPointer<Template> &look : std::as_const(m_templates))
        look->setCurrentPageSize(pageSize);
    resetPreviews();
    Q_EMIT currentPageSizeChanged(pageSize);
}

void TemplatesModel::startPreviews()
{
    m_started = true;
    scheduleNext();
}

void TemplatesModel::resetPreviews()
{
    const int count = int(m_templates.size());
    m_icons.fill(QIcon());
    m_queue.clear();
    m_done = 0;
    for (int row = 0; row < count; ++row)
        m_queue.append(row);
    Q_EMIT previewProgress(0, count);
    if (count > 0)
        Q_EMIT dataChanged(index(0), index(count - 1), { Qt::DecorationRole });
    scheduleNext();
}

void TemplatesModel::scheduleNext()
{
    if (!m_started || m_scheduled || m_queue.isEmpty())
        return;
    m_scheduled = true;
    QTimer::singleShot(0, this, &TemplatesModel::generateNext);
}

void TemplatesModel::generateNext()
{
    m_scheduled = false;
    QElapsedTimer timer;
    timer.start();
    const int count = int(m_templates.size());
    while (!m_queue.isEmpty()) {
        const int row = m_queue.takeFirst();
        m_icons[row] = QIcon(loadOrRender(row));
        ++m_done;
        Q_EMIT dataChanged(index(row), index(row), { Qt::DecorationRole });
        if (timer.elapsed() >= BatchMilliseconds && !m_queue.isEmpty()) {
            Q_EMIT previewProgress(m_done, count);
            scheduleNext();
            return;
        }
    }
    Q_EMIT previewProgress(count, count);
}

QPixmap TemplatesModel::loadOrRender(int row)
{
    const QString path = previewPath(row);
    QPixmap pixmap;
    // A file that does not load (cut short, not a picture) counts as
    // missing and is drawn and written again.
    if (!path.isEmpty() && QFile::exists(path) && pixmap.load(path, "PNG"))
        return pixmap;
    pixmap = m_templates.at(row)->renderPreview(QSize(PreviewSize, PreviewSize));
    if (!path.isEmpty())
        savePreview(pixmap, path);
    return pixmap;
}

QString TemplatesModel::previewPath(int row) const
{
    if (row < 0 || row >= m_templates.size() || m_currentPageSize.units() == PageSize::None)
        return QString();
    const QByteArray id = m_templates.at(row)->templateId();
    if (id.isEmpty())
        return QString();
    const QString folder = previewFolder();
    if (folder.isEmpty())
        return QString();
    const QSizeF size = m_currentPageSize.size();
    return QStringLiteral("%1/%2_v%3_%4x%5_u%6_p%7.png")
        .arg(folder, QString::fromLatin1(id))
        .arg(PreviewVersion)
        .arg(size.width(), 0, 'f', 2)
        .arg(size.height(), 0, 'f', 2)
        .arg(m_currentPageSize.units())
        .arg(PreviewSize);
}
