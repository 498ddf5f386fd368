#pragma once

#include "download/downloader.h"
#include "hook_recorder.h"

#include <optional>
#include <string>

namespace sorvo::download::testing {

// Settings as the update window fills them, with retries quick enough for a test. Packages are
// taken unsigned unless a test sets a key; signed ones must be pkg.exe, newer than 1.0.
inline DownloadSettings quickSettings(const std::string& url, const std::string& path,
                                      HookRecorder& hooks) {
    DownloadSettings settings;
    settings.writeBufferSize = 4096;
    settings.url = url;
    settings.path = path;
    settings.speedValue = 200;
    settings.maxRetries = 3;
    settings.connectTimeoutMs = 2000;
    settings.noDataTimeoutMs = 2000;
    settings.retryWindowMs = 5000;
    settings.retryDelayMs = 20;
    settings.allowUnsigned = true;
    settings.packageName = "pkg.exe";
    settings.currentVersion = "1.0";
    hooks.attach(settings);
    return settings;
}

// Starts the download and waits for its Finished or Failed.
inline std::optional<Event> runToEnd(Downloader& downloader, DownloadSettings& settings,
                                     HookRecorder& hooks) {
    startDownload(downloader, settings);
    return hooks.waitForEnd();
}

} // namespace sorvo::download::testing
