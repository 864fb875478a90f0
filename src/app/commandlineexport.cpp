#include "commandlineexport.h"

#include <QColorSpace>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTextStream>

#include <algorithm>

#include "app/thumbnailexport.h"
#include "app/visibilityreport.h"
#include "imaging/imagecache.h"
#include "imaging/imagedecoder.h"
#include "io/documentfile.h"
#include "model/document.h"
#include "model/imagelist.h"
#include "model/imagesource.h"
#include "model/missingphotos.h"
#include "model/randomgenerator.h"
#include "scene/pageexport.h"
#include "themes/builtinthemes.h"
#include "themes/jstemplate.h"
#include "themes/themeregistry.h"

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("CommandLineExport", text);
}

QByteArray themeId(const QString &theme)
{
    if (theme == QLatin1String("photodrop"))
        return BuiltInThemes::PhotoDropId;
    if (theme == QLatin1String("rows"))
        return BuiltInThemes::RowsId;
    return BuiltInThemes::MosaicId;
}

QString themeKey(const QByteArray &id)
{
    if (id == BuiltInThemes::PhotoDropId)
        return QStringLiteral("photodrop");
    if (id == BuiltInThemes::RowsId)
        return QStringLiteral("rows");
    return QStringLiteral("mosaic");
}

QList<QUrl> samplePhotos()
{
    QList<QUrl> photos;
    const QDir samples(QStringLiteral(":/samples"));
    for (const QString &name :
        samples.entryList({ QStringLiteral("*.jpg") }, QDir::Files, QDir::Name))
        photos.append(QUrl::fromLocalFile(samples.filePath(name)));
    return photos;
}

// One template file of the library: its script and the name it gives itself.
struct TemplateFile
{
    QByteArray themeId;
    QString fileName;
    QByteArray script;
    QString name;
};

QList<TemplateFile> templateFiles()
{
    QList<TemplateFile> files;
    for (const ThemeInfo &theme : ThemeRegistry::themes()) {
        const QDir folder(theme.templatesFolder);
        for (const QString &fileName : folder.entryList({ QStringLiteral("*.qjs") }, QDir::Files)) {
            QFile file(folder.filePath(fileName));
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QByteArray script = file.readAll();
            files.append({ theme.id, fileName, script, JSTemplate::nameFromScript(script) });
        }
    }
    std::sort(files.begin(), files.end(), [](const TemplateFile &a, const TemplateFile &b) {
        return std::make_pair(themeKey(a.themeId), a.name.toLower())
            < std::make_pair(themeKey(b.themeId), b.name.toLower());
    });
    return files;
}

} // namespace

CommandLineExport::CommandLineExport(
    const ExportOptions &options, QTextStream &out, QTextStream &err)
    : m_options(options)
    , m_out(out)
    , m_err(err)
{
}

int CommandLineExport::run()
{
    switch (m_options.mode) {
    case ExportOptions::Mode::Help:
        m_out << ExportOptions::helpText();
        return 0;
    case ExportOptions::Mode::Version:
        m_out << QStringLiteral("Tesselo %1\n").arg(QCoreApplication::applicationVersion());
        return 0;
    case ExportOptions::Mode::ListTemplates:
        for (const QString &line : templateLines())
            m_out << line << '\n';
        return 0;
    case ExportOptions::Mode::Export:
        return exportCollage();
    case ExportOptions::Mode::Thumbnail: {
        QString error;
        if (!ThumbnailExport::write(
                m_options.inputDocument, m_options.output, m_options.thumbnailSize, &error))
            return fail(error);
        return 0;
    }
    case ExportOptions::Mode::Editor:
        break;
    }
    return fail(tr("nothing to do"));
}

QStringList CommandLineExport::templateLines()
{
    QStringList lines;
    for (const TemplateFile &file : templateFiles())
        lines.append(themeKey(file.themeId) + QLatin1Char('\t') + file.name);
    return lines;
}

int CommandLineExport::fail(const QString &message)
{
    m_err << QStringLiteral("tesselo: ") << message << '\n';
    m_err.flush();
    return 1;
}

QList<QUrl> CommandLineExport::readablePhotos()
{
    QList<QUrl> photos;
    for (const QString &path : std::as_const(m_options.photos)) {
        const ImageDecoder decoder(path);
        if (decoder.canRead()) {
            photos.append(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
        } else {
            m_err << tr("tesselo: skipping %1: %2").arg(path, decoder.errorString()) << '\n';
        }
    }
    m_err.flush();
    return photos;
}

QSharedPointer<Template> CommandLineExport::findTemplate(Document *document, QString *error) const
{
    const QByteArray id = themeId(m_options.theme);
    const QString wanted = m_options.templateName.trimmed();
    for (const TemplateFile &file : templateFiles()) {
        if (file.themeId != id)
            continue;
        const bool match = wanted.isEmpty() ? file.fileName == QLatin1String("default.qjs")
                                            : file.name.compare(wanted, Qt::CaseInsensitive) == 0;
        if (match)
            return QSharedPointer<Template>(new JSTemplate(file.script, file.themeId, document));
    }
    *error = tr("unknown template \"%1\" for the %2 theme (see --list-templates)")
                 .arg(wanted, m_options.theme);
    return {};
}

void CommandLineExport::reportDropped(const QList<QUrl> &requested, const ImageList *images)
{
    // Files whose header looked fine can still fail to decode; name them too.
    if (images->count() == requested.size())
        return;
    QList<QUrl> present;
    for (const auto &image : images->items())
        present.append(image->source());
    for (const QUrl &url : requested) {
        if (!present.contains(url))
            m_err << tr("tesselo: skipping %1: not a readable image").arg(url.toLocalFile())
                  << '\n';
    }
    m_err.flush();
}

QByteArray CommandLineExport::outputFormat() const
{
    return QFileInfo(m_options.output).suffix().toLower().toLatin1();
}

int CommandLineExport::exportCollage()
{
    const QByteArray format = outputFormat();
    if (!m_options.output.isEmpty()
        && (format.isEmpty() || !PageExport::formats().contains(format)))
        return fail(tr("cannot write %1: unknown image format \"%2\"")
                        .arg(m_options.output, QString::fromLatin1(format)));
    if (m_options.seed)
        RandomGenerator::seed(*m_options.seed);
    // Output is drawn from the files at the exact scale, so loading the
    // photos only needs their sizes.
    ImageCache *cache = ImageCache::instance();
    const bool wasSizesOnly = cache->sizesOnly();
    cache->setSizesOnly(true);
    const auto restore = qScopeGuard([cache, wasSizesOnly] { cache->setSizesOnly(wasSizesOnly); });

    QString error;
    std::unique_ptr<Document> document
        = m_options.inputDocument.isEmpty() ? makeCollage(&error) : openCollage(&error);
    if (!document)
        return fail(error);
    if (!m_options.saveDocument.isEmpty()
        && !DocumentFile::save(document.get(), m_options.saveDocument, &error))
        return fail(error);
    const int result = m_options.output.isEmpty() ? 0 : renderCollage(document.get());
    if (result == 0 && m_options.report)
        VisibilityReport(document.get(), m_options.outputSize()).write(m_out);
    return result;
}

std::unique_ptr<Document> CommandLineExport::makeCollage(QString *error)
{
    QList<QUrl> photos = readablePhotos();
    if (photos.isEmpty() && !m_options.photos.isEmpty()) {
        *error = tr("no readable photo");
        return nullptr;
    }
    if (photos.isEmpty())
        photos = samplePhotos();

    auto document = std::make_unique<Document>(false);
    document->setPageSize(m_options.page);
    if (!document->imageList()->insertUrls(0, photos, false)) {
        *error = tr("no readable photo");
        return nullptr;
    }
    reportDropped(photos, document->imageList());

    // The look is applied with the photos in place, so that a scattered
    // pile is thrown and relaxed over all of them.
    const QSharedPointer<Template> look = findTemplate(document.get(), error);
    if (!look)
        return nullptr;
    document->setTheme(look->createTheme(document.get()));
    if (!document->theme()) {
        *error = tr("the %1 theme is not available").arg(m_options.theme);
        return nullptr;
    }
    return document;
}

std::unique_ptr<Document> CommandLineExport::openCollage(QString *error)
{
    std::unique_ptr<Document> document = DocumentFile::open(m_options.inputDocument, error, false);
    if (!document) {
        *error = tr("cannot open %1: %2").arg(m_options.inputDocument, *error);
        return nullptr;
    }
    if (!document->imageList()->readAllFiles(false)) {
        *error = tr("cannot read the photos of %1").arg(m_options.inputDocument);
        return nullptr;
    }
    // Their places stay empty; say which, so that a script's log shows why.
    for (const QSharedPointer<ImageSource> &image : MissingPhotos::find(document->imageList()))
        m_err << tr("tesselo: missing photo %1")
                     .arg(QDir::toNativeSeparators(image->source().toLocalFile()))
              << '\n';
    m_err.flush();
    m_options.page = document->pageSize();
    if (const QString problem = m_options.checkOutput(); !problem.isEmpty()) {
        *error = problem;
        return nullptr;
    }
    return document;
}

int CommandLineExport::renderCollage(Document *document)
{
    ExportSettings settings;
    settings.format = outputFormat();
    settings.size = m_options.outputSize();
    settings.resolution = m_options.outputResolution();
    settings.quality = m_options.quality;
    settings.watermark = m_options.watermark;
    settings.watermarkPosition = m_options.watermarkPosition;
    settings.watermarkOpacity = m_options.watermarkOpacity;
    PageExport page(document, settings);
    if (page.write(m_options.output) != PageExport::Result::Written)
        return fail(tr("cannot write %1: %2").arg(m_options.output, page.errorString()));
    return 0;
}
