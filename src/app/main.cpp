#include <QDesktopServices>
#include <QMessageBox>
#include <QTextStream>

#include <cstdio>

#include "app/application.h"
#include "app/commandlineexport.h"
#include "app/exportoptions.h"
#include "themes/builtinthemes.h"

namespace {

QStringList rawArguments(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

// Collages made from the command line need no display.
int runCommandLine(int argc, char *argv[], const ExportOptions &options)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    BuiltInThemes::registerAll();
    QTextStream out(stdout), err(stderr);
    return CommandLineExport(options, out, err).run();
}

} // namespace

int main(int argc, char *argv[])
{
    QString error;
    const std::optional<ExportOptions> options
        = ExportOptions::parse(rawArguments(argc, argv), &error);
    if (!options) {
        std::fprintf(stderr, "tesselo: %s\n", qPrintable(error));
        return 2;
    }
    if (options->mode != ExportOptions::Mode::Editor)
        return runCommandLine(argc, argv, *options);

    Application app(argc, argv);

    const Application::StartPage page = app.performFirstStartCheck();
    if (page != Application::StartPage::None)
        QDesktopServices::openUrl(Application::startPageUrl(page));

    app.discoverLanguages();
    app.setLanguage(app.language(), true);
    BuiltInThemes::registerAll();

    // The editing window is not part of this build yet; say so plainly
    // instead of opening an empty window.
    QMessageBox::information(nullptr, QStringLiteral("Tesselo %1").arg(app.applicationVersion()),
        QCoreApplication::translate("main",
            "This build of Tesselo contains the collage engine only. "
            "The editing window arrives in a later version. Try "
            "\"tesselo --export collage.png\" to make a collage."));
    return 0;
}
