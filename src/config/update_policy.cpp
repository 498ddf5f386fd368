#include "config/update_policy.h"

#include "sorvo_config.h"

namespace sorvo {

std::string clientVersion() {
    return config::version;
}

bool allowUnsignedUpdates() {
    return config::allowUnsignedUpdates;
}

int64_t updateMaxBytes() {
    return config::updateMaxBytes;
}

} // namespace sorvo
