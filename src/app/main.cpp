#include <QDesktopServices>
#include <QMessageBox>

#include "app/application.h"

int main(int argc, char *argv[])
{
    Application app(argc, argv);

    const Application::StartPage page = app.performFirstStartCheck();
    if (page != Application::StartPage::None)
        QDesktopServices::openUrl(Application::startPageUrl(page));

    app.discoverLanguages();
    app.setLanguage(app.language(), true);

    // The editing window is not part of this build yet; say so plainly
    // instead of opening an empty window.
    QMessageBox::information(nullptr, QStringLiteral("Tesselo %1").arg(app.applicationVersion()),
                             QCoreApplication::translate(
                                 "main", "This build of Tesselo contains the collage engine only. "
                                         "The editing window arrives in a later version."));
    return 0;
}
