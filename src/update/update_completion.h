#pragma once

namespace sorvo::update {

struct DownloadEvent;

// The end of an update, on the UI thread.

// The package has arrived: the update window that exists now says so, the package that the
// download wrote is started, and that window is destroyed. The package is started even when no
// update window exists.
void onDownloadFinished();

// The download failed for good: the update window that exists now shows why, if it started one.
void onDownloadFailed(const DownloadEvent& event);

} // namespace sorvo::update
