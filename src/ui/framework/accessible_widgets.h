#pragma once

namespace sorvo::ui {

// What screen readers see of the framework's own widgets: a window as a frame, or as a dialog
// when it has an owner, named by its title; a canvas with its press zones as push button
// children, each with a press action that clicks the zone. Called before such a widget is first
// asked for (Qt keeps the answer); safe to call more than once.
void installAccessibleWidgets();

} // namespace sorvo::ui
