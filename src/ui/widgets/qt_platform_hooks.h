// The Qt forms of the platform hooks: message boxes, questions, the
// return-message popup, process launching, ticks, beep and QSettings.
#pragma once

#include <QMessageBox>
#include <QString>

#include "platform/platform_hooks.h"

class QWidget;

namespace varnex {

// QSettings identity of the per-user settings store (INI form).
inline constexpr const char* kSettingsOrganisation = "Korvath";
inline constexpr const char* kSettingsApplication = "VNXv1";

QMessageBox::Icon ToQtIcon(MessageIcon icon);
// "\r\n" is the line break inside the system's message texts.
QString ToQtText(const std::string& text);

// Hooks whose message boxes belong to `mainWindow` (or to the modal dialog
// that is open when a message names it as owner); return-message popups
// belong to the open modal dialog, if any.
PlatformHooks MakeQtPlatformHooks(QWidget* mainWindow);

}  // namespace varnex
