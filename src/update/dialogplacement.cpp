#include "dialogplacement.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>

namespace DialogPlacement {

void centre(QWidget *dialog, QWidget *anchor)
{
    if (!anchor || !anchor->isVisible())
        anchor = QApplication::activeWindow();
    if (anchor == dialog)
        anchor = nullptr;
    QRect area;
    if (anchor) {
        area = anchor->window()->frameGeometry();
    } else if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        area = screen->availableGeometry();
    }
    if (!area.isValid())
        return;
    QRect frame = dialog->frameGeometry();
    frame.moveCenter(area.center());
    dialog->move(frame.topLeft());
}

} // namespace DialogPlacement
