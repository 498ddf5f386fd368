#include "download/hook_gate.h"

namespace sorvo::download {

void HookGate::close() {
    // The gate is held by this very thread, further up its stack.
    if (insideHook()) {
        closed_ = true;
        return;
    }
    std::lock_guard lock(mutex_);
    closed_ = true;
}

} // namespace sorvo::download
