#include "config/desktop_entry.h"

#include "sorvo_config.h"

namespace sorvo {

QString desktopEntryId() {
    return QString::fromUtf8(config::desktopEntryId);
}

} // namespace sorvo
