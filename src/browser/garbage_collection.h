#pragma once

namespace sorvo::browser {

// Where the engine composites in software, its page renderer leaves the first full garbage
// collection of a page's heap until that heap has grown by about 1.5 GiB: about ten minutes of
// the playing radio page, whose animations leave garbage behind with every frame. Until that
// first collection the heap's limits are not set; once it has run, the renderer collects on its
// own and the page's memory stays level. So each page gets one full collection once it has been
// up for a while.
//
// Call before the engine starts, that is before its first profile or page: the engine is asked
// to offer its full collection to the program's own script world, under a private name. A
// --js-flags of the user's own in QTWEBENGINE_CHROMIUM_FLAGS stands, and then nothing is done.
void collectEachPageOnceSettled();

} // namespace sorvo::browser
