#include "config/log_categories.h"

namespace sorvo {

Q_LOGGING_CATEGORY(appLog, "sorvo.app", QtInfoMsg)
Q_LOGGING_CATEGORY(uiLog, "sorvo.ui", QtInfoMsg)
Q_LOGGING_CATEGORY(browserLog, "sorvo.browser", QtInfoMsg)
Q_LOGGING_CATEGORY(updateLog, "sorvo.update", QtInfoMsg)
Q_LOGGING_CATEGORY(downloadLog, "sorvo.download", QtInfoMsg)
Q_LOGGING_CATEGORY(platformLog, "sorvo.platform", QtInfoMsg)

} // namespace sorvo
