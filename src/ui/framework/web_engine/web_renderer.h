#pragma once

namespace sorvo::ui {

// Picks how browsers draw, once the application exists and before the first page opens. Where
// the only OpenGL is a software rasterizer, the browser's view is drawn with the software scene
// graph: the same pixels, without a second software pipeline compiling shaders and keeping its
// code in memory (the browser engine likewise leaves software GL out of its own compositing).
// A QT_QUICK_BACKEND given in the environment stands.
void chooseWebRenderer();

// Whether an OpenGL renderer string names a rasterizer that runs on the CPU.
bool isSoftwareRasterizer(const char* renderer);

} // namespace sorvo::ui
