#pragma once

#include <QString>

// Every key of the user's settings store ("Quorvane" / "Tesselo").
namespace SettingsKeys {
inline const QString FirstStart = QStringLiteral("FirstStart");
inline const QString RecentFiles = QStringLiteral("recentFiles");
inline const QString Language = QStringLiteral("language");
inline const QString ShowWelcomeScreen = QStringLiteral("show_welcome_screen");
inline const QString PreferredExportFormats = QStringLiteral("preferedExportFormats");
inline const QString WatermarkText = QStringLiteral("watermarkText");
inline const QString ExportQuality = QStringLiteral("exportQuality");
inline const QString SkippedVersion = QStringLiteral("updater/skippedVersion");
} // namespace SettingsKeys
