#pragma once

class QWidget;

// The update dialogs appear over the window the user works in: `anchor`
// when given, else the active window, else the middle of the screen.
namespace DialogPlacement {
void centre(QWidget *dialog, QWidget *anchor = nullptr);
} // namespace DialogPlacement
