#include "update/update_completion.h"

#include "platform/platform.h"
#include "update/update_state.h"
#include "update/update_window.h"

namespace sorvo::update {

void onDownloadFinished() {
    UpdateWindow* window = UpdateWindow::current();
    if (window) window->onDownloadFinished();
    // The file the finished download wrote, even if the package's place has changed since.
    platform::openFile(updateState().downloadTarget);
    if (window) window->onCancelButtonClicked();
}

void onDownloadFailed(const DownloadEvent& event) {
    if (UpdateWindow* window = UpdateWindow::current()) window->onDownloadFailed(event);
}

} // namespace sorvo::update
