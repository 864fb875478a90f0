#include <QDesktopServices>
#include <QTextStream>

#include <cstdio>

#include "app/application.h"
#include "app/commandlineexport.h"
#include "app/exportoptions.h"
#include "app/recoverymanager.h"
#include "model/document.h"
#include "platform/documentwindow.h"
#include "platform/singleinstance.h"
#include "themes/builtinthemes.h"
#include "ui/futureprogressdialog.h"
#include "update/updater.h"

namespace {

QStringList rawArguments(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

QtMessageHandler defaultMessageHandler = nullptr;

// Qt warns on every start when the runtime folder is missing or belongs to
// someone else (as for root). Tesselo keeps nothing there, and standard
// error is for its own messages and real problems.
void quietMessageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths: "))
        && message.contains(QLatin1String("runtime"), Qt::CaseInsensitive))
        return;
    if (defaultMessageHandler)
        defaultMessageHandler(type, context, message);
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
    defaultMessageHandler = qInstallMessageHandler(quietMessageHandler);
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

    // A start with files while Tesselo runs hands them over and leaves.
    SingleInstance instance(SingleInstance::defaultSocketPath());
    const QStringList files = Application::documentArguments(app.arguments());
    if (!instance.listen() && !files.isEmpty()
        && instance.forward(SingleInstance::openCommands(files)))
        return 0;
    QObject::connect(&instance, &SingleInstance::commandReceived, app.documentWindow(),
        &DocumentWindow::executeCommand);

    const Application::StartPage page = app.performFirstStartCheck();
    if (page != Application::StartPage::None)
        QDesktopServices::openUrl(Application::startPageUrl(page));

    app.discoverLanguages();
    app.setLanguage(app.language(), true);
    Updater updater(
        Updater::informationAddress(app.arguments()), QPixmap(QStringLiteral(":/tesselo-128.png")));
    BuiltInThemes::registerAll();
    // Reading photos shows a progress dialog that can cancel it.
    FutureProgressDialog::installImageListHook();

    // Unsaved work is copied aside about once a minute; what a crash left
    // behind is offered first.
    RecoveryManager recovery;
    app.setRecoveryManager(&recovery);
    const int recovered = recovery.offerRecoveries(
        nullptr, [&app](std::unique_ptr<Document> document, const QString &originalPath) {
            app.openRecovered(std::move(document), originalPath);
        });
    if (recovered > 0 && Application::documentArguments(app.arguments()).isEmpty())
        return app.exec();

    switch (app.openInitialWindow()) {
    case Application::InitialWindow::Opened:
        return app.exec();
    case Application::InitialWindow::Cancelled:
        return 0;
    case Application::InitialWindow::Failed:
        break;
    }
    return 1;
}
