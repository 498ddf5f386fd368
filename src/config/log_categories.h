#pragma once

#include <QLoggingCategory>

// What the program says on the error output, one category for each layer, as QT_LOGGING_RULES
// names them (QT_LOGGING_RULES="sorvo.download.info=false" silences the download's retries).
// Warnings and information are on; debug lines only where the rules turn them on.
namespace sorvo {

Q_DECLARE_LOGGING_CATEGORY(appLog)      // sorvo.app: the client's start and end
Q_DECLARE_LOGGING_CATEGORY(uiLog)       // sorvo.ui: the windows and their event loop
Q_DECLARE_LOGGING_CATEGORY(browserLog)  // sorvo.browser: the embedded browser
Q_DECLARE_LOGGING_CATEGORY(updateLog)   // sorvo.update: the upgrade packages
Q_DECLARE_LOGGING_CATEGORY(downloadLog) // sorvo.download: the download component's messages
Q_DECLARE_LOGGING_CATEGORY(platformLog) // sorvo.platform: the tray, media keys, the system

} // namespace sorvo
