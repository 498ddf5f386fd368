#include "config/update_key.h"

#include "sorvo_config.h"

namespace sorvo {

std::string& updatePublicKey() {
    static std::string configured = config::updatePublicKey;
    return configured;
}

} // namespace sorvo
