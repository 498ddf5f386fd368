#include "ui/dialogs.h"

#include "resources/form_names.h"
#include "resources/window_design.h"
#include "ui/framework/graphic_button.h"
#include "ui/framework/program.h"
#include "ui/framework/skin_window.h"
#include "ui/rounded_region.h"

#include <QPointer>

namespace sorvo::ui {

namespace {

constexpr int quitSettleMilliseconds = 100;
constexpr int updateWindowSettleMilliseconds = 5;

// A dialog built afresh from its design over `owner`: nothing of an earlier opening survives.
SkinWindow* newDialog(const design::WindowDesign& design, SkinWindow& owner, bool roundsOnResize) {
    auto* dialog = new SkinWindow(design, &owner);
    dialog->handlers.created = [dialog] { applyRoundedRegion(*dialog); };
    if (roundsOnResize) dialog->handlers.sizeChanged = [dialog] { applyRoundedRegion(*dialog); };
    return dialog;
}

void onClicked(SkinWindow& dialog, const QString& formName, std::function<void()> handler) {
    QObject::connect(dialog.control<GraphicButton>(formName), &QAbstractButton::clicked, &dialog,
                     std::move(handler));
}

void onQuitOkButtonClicked() {
    program::processPendingMessages();
    program::plainWait(quitSettleMilliseconds);
    // The dialog is left standing: ending the program takes every window and tray icon away.
    program::end(0);
}

void onCheckUpdateButtonClicked(SkinWindow& versionWindow,
                                const std::function<void()>& openUpdateWindow) {
    QPointer<SkinWindow> guard(&versionWindow);
    if (openUpdateWindow) openUpdateWindow();
    program::waitProcessingMessages(updateWindowSettleMilliseconds);
    // A close from the system during the wait may already have taken the dialog away.
    if (guard) guard->destroyWindow();
}

} // namespace

void openQuitConfirmWindow(SkinWindow& owner) {
    SkinWindow* dialog = newDialog(design::quitConfirmWindow(), owner, true);
    onClicked(*dialog, design::quitConfirmForm::okButton, onQuitOkButtonClicked);
    onClicked(*dialog, design::quitConfirmForm::cancelButton,
              [dialog] { dialog->destroyWindow(); });
    SkinWindow::load(dialog, true);
}

void openAboutWindow(SkinWindow& owner) {
    // Rounded once, when created: this dialog does not follow size changes.
    SkinWindow* dialog = newDialog(design::aboutWindow(), owner, false);
    onClicked(*dialog, design::aboutForm::closeButton, [dialog] { dialog->destroyWindow(); });
    SkinWindow::load(dialog, true);
}

void openVersionWindow(SkinWindow& owner, std::function<void()> openUpdateWindow) {
    SkinWindow* dialog = newDialog(design::versionWindow(), owner, true);
    onClicked(*dialog, design::versionForm::checkUpdateButton,
              [dialog, open = std::move(openUpdateWindow)] {
                  onCheckUpdateButtonClicked(*dialog, open);
              });
    onClicked(*dialog, design::versionForm::cancelCheckButton,
              [dialog] { dialog->destroyWindow(); });
    SkinWindow::load(dialog, true);
}

} // namespace sorvo::ui
