#pragma once

#include "ui/framework/skin_window.h"

namespace sorvo::ui {

// The three dialogs, each opened modal to `owner` and built afresh from its design every time.
// Each call returns the dialog at once; its `closed` signal tells when it has gone. Confirming the
// quit dialog ends the program.
SkinWindow* openQuitConfirmWindow(SkinWindow& owner);
SkinWindow* openAboutWindow(SkinWindow& owner);

// The version dialog: its check button asks for the update window, then the dialog goes.
class VersionWindow : public SkinWindow {
    Q_OBJECT
  public:
    explicit VersionWindow(SkinWindow& owner);

  signals:
    void updateCheckRequested();

  private:
    void onCheckUpdateButtonClicked();
};

VersionWindow* openVersionWindow(SkinWindow& owner);

} // namespace sorvo::ui
