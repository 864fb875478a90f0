// Opens the template chooser as a new collage would, optionally on a
// preset page turned the other way, and saves a picture of it once every
// preview is drawn:
//
//     show_template_chooser [PRESET_NAME] [--turn] [--icon-size N] [--shot FILE.png]
//
// Without --shot the dialog stays open for a person to use.

#include <QApplication>
#include <QComboBox>
#include <QSlider>
#include <QTimer>

#include "model/pagesizepresets.h"
#include "themes/builtinthemes.h"
#include "ui/pagesizemodel.h"
#include "ui/templatesdialog.h"
#include "ui/templatesmodel.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    app.setOrganizationName(QStringLiteral("Quorvane"));
    app.setApplicationName(QStringLiteral("Tesselo"));
    BuiltInThemes::registerAll();
    QStringList args = app.arguments().mid(1);
    auto option = [&args](const QString &name) {
        const int at = args.indexOf(name);
        const QString value = at >= 0 ? args.value(at + 1) : QString();
        if (at >= 0)
            args.remove(at, qMin(2, int(args.size()) - at));
        return value;
    };
    const QString shot = option(QStringLiteral("--shot"));
    const int iconSize = option(QStringLiteral("--icon-size")).toInt();
    const bool turn = args.removeAll(QStringLiteral("--turn")) > 0;

    TemplatesDialog dialog(nullptr, nullptr);
    if (!args.isEmpty()) {
        const PageSize preset = PageSizePresets::find(args.join(QLatin1Char(' ')));
        if (preset.units() >= 0)
            dialog.setCurrentPageSize(preset);
    }
    if (turn)
        dialog.swapCurrentPageOrientation();
    if (iconSize > 0)
        dialog.findChild<QSlider *>(QStringLiteral("iconSizeSlider"))->setValue(iconSize);
    QObject::connect(dialog.templatesModel(), &TemplatesModel::previewProgress, &dialog,
        [&dialog, shot](int done, int total) {
            if (shot.isEmpty() || done < total)
                return;
            QTimer::singleShot(200, &dialog, [&dialog, shot] {
                dialog.grab().save(shot);
                dialog.reject();
            });
        });
    dialog.show();
    return dialog.exec() == QDialog::Accepted ? 0 : 1;
}
