#pragma once

#include <QByteArray>

namespace sorvo::platform {

// `flags`, the browser engine's command-line flags, with `feature` switched off as well. The
// engine keeps only the last --disable-features it is given, so the feature joins that list
// rather than starting another.
QByteArray withEngineFeatureDisabled(const QByteArray& flags, const QByteArray& feature);

} // namespace sorvo::platform
