#pragma once

// The end of an update, on the UI thread.
namespace sorvo::update {

// The package has arrived: the update window that exists now says so, the package is started,
// and that window is destroyed. The package is started even when no update window exists.
void onDownloadFinished();

} // namespace sorvo::update
