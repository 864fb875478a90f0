// Runs the updater at once against a local update server, without the
// editing window, to see its dialogs and follow a download to the end.
//
//     tools/update_test_server.py &
//     update_preview http://127.0.0.1:8765/UpdateInfo.xml
//
// "Exit and install" only prints the downloaded file's path and quits.

#include <QApplication>
#include <QTextStream>

#include "update/updatechecker.h"
#include "update/updater.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tesselo"));
    QCoreApplication::setOrganizationName(QStringLiteral("Quorvane"));
    QCoreApplication::setApplicationVersion(QStringLiteral("0.9.6"));
    QTextStream out(stdout);
    if (argc < 2) {
        out << "usage: update_preview http://127.0.0.1:PORT/UpdateInfo.xml\n";
        return 2;
    }
    const QUrl address = Updater::informationAddress(
        { QStringLiteral("--update-info=") + QString::fromLocal8Bit(argv[1]) });
    if (address.host() != QLatin1String("127.0.0.1")
        && address.host() != QLatin1String("localhost")) {
        out << "update_preview: only loopback addresses\n";
        return 2;
    }
    Updater updater(address, QPixmap());
    updater.checker()->setInstallHandler([&out](const QString &path) {
        out << "would install " << path << '\n';
        out.flush();
        return true;
    });
    updater.check();
    return app.exec();
}
