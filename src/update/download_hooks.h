#pragma once

#include "download/hooks.h"

#include <cstdint>
#include <string>

// The update's two hooks into the download component. Both run on the component's worker
// thread.
namespace sorvo::update {

// Stores the total size of SizeKnown in the update state and carries Finished and Failed over
// to the UI thread (onDownloadFinished, onDownloadFailed); a cancellation is no failure to
// show. Other kinds are ignored.
void onDownloadEvent(const download::Event& hooked);

// The component's messages need no answer from the update.
void onDownloadMessage(std::int32_t code, const std::string& text1, const std::string& text2,
                       std::int32_t a, std::int32_t b);

} // namespace sorvo::update
