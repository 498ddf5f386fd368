#pragma once

#include "download/download_settings.h"

#include <QString>

namespace sorvo::update {

// Fills the program-wide settings record for a download of the upgrade package from `url` to
// `path` at the chosen speed entry's value: the component's timings, retries and buffers for
// the update, and what a package must be: signed by the build's key for this file name and a newer
// version, within the size cap. The hooks and the slots the update does not use keep their values.
void fillUpdateSettings(download::DownloadSettings& settings, const QString& url,
                        const QString& path, int speedValue);

} // namespace sorvo::update
