#pragma once

#include "download/downloader.h"

#include <QString>
#include <atomic>
#include <cstdint>

namespace sorvo::update {

// The program-wide state of an update: the one download component instance, its settings
// record, where the package comes from and goes to, and the figures of the running download.
struct UpdateState {
    download::Downloader downloader;
    download::DownloadSettings settings;
    QString packageUrl;
    QString packagePath;
    // The file the running or last download writes: packagePath as it was when that download
    // started. The package started at the end is this one.
    QString downloadTarget;
    // Written by the download thread, read by the window's timers: one 64-bit value.
    std::atomic<std::int64_t> totalBytes{0};
    std::int64_t startTicks = 0;
};

// Creates the state; it lives until releaseUpdateState. A client built without an update key
// says once on the error output that packages are not verified.
void createUpdateState();

// The state between createUpdateState and releaseUpdateState.
UpdateState& updateState();

// Stops a running download, without waiting for its thread, then frees the state.
void releaseUpdateState();

} // namespace sorvo::update
