#include "update/update_completion.h"

#include "platform/platform.h"
#include "update/update_state.h"
#include "update/update_window.h"

#include <QLabel>

namespace sorvo::update {

namespace {
const QString finishedText = QStringLiteral("下载已完成!");
}

void onDownloadFinished() {
    UpdateWindow* window = UpdateWindow::current();
    if (window) {
        window->label(QStringLiteral("标签速度")).setText(finishedText);
        window->setTrayIcon(UpdateWindow::trayPicture, finishedText);
    }
    platform::openFile(updateState().packagePath);
    if (window) window->onCancelButtonClicked();
}

} // namespace sorvo::update
