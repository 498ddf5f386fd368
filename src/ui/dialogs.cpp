#include "ui/dialogs.h"

#include "resources/form_names.h"
#include "resources/window_design.h"
#include "ui/framework/graphic_button.h"
#include "ui/framework/program.h"

namespace sorvo::ui {

namespace {

template <class Window, class Slot>
void onClicked(Window& dialog, const QString& formName, Slot slot) {
    QObject::connect(dialog.template control<GraphicButton>(formName), &QAbstractButton::clicked,
                     &dialog, std::move(slot));
}

// A dialog built afresh from its design over `owner`: nothing of an earlier opening survives.
// `closeButton` takes it away.
SkinWindow* newDialog(const design::WindowDesign& design, SkinWindow& owner,
                      const QString& closeButton) {
    auto* dialog = new SkinWindow(design, &owner);
    onClicked(*dialog, closeButton, &QWidget::close);
    return dialog;
}

} // namespace

SkinWindow* openQuitConfirmWindow(SkinWindow& owner) {
    SkinWindow* dialog =
        newDialog(design::quitConfirmWindow(), owner, design::quitConfirmForm::cancelButton);
    // The dialog is left standing: the program's end takes every window and tray icon away.
    onClicked(*dialog, design::quitConfirmForm::okButton, &program::quit);
    dialog->open();
    return dialog;
}

SkinWindow* openAboutWindow(SkinWindow& owner) {
    SkinWindow* dialog = newDialog(design::aboutWindow(), owner, design::aboutForm::closeButton);
    dialog->open();
    return dialog;
}

VersionWindow::VersionWindow(SkinWindow& owner) : SkinWindow(design::versionWindow(), &owner) {
    onClicked(*this, design::versionForm::checkUpdateButton,
              &VersionWindow::onCheckUpdateButtonClicked);
    onClicked(*this, design::versionForm::cancelCheckButton, &QWidget::close);
}

void VersionWindow::onCheckUpdateButtonClicked() {
    emit updateCheckRequested();
    close();
}

VersionWindow* openVersionWindow(SkinWindow& owner) {
    auto* dialog = new VersionWindow(owner);
    dialog->open();
    return dialog;
}

} // namespace sorvo::ui
