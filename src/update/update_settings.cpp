#include "update/update_settings.h"

#include "config/update_key.h"
#include "config/update_policy.h"
#include "update/package_location.h"

#include <QFile>

namespace sorvo::update {

namespace {
constexpr int writeBufferBytes = 4096;
constexpr int retriesWhileTheWindowAllows = 999999999;
constexpr int retryDelayMs = 1000;
constexpr int connectTimeoutMs = 5000;
constexpr int noDataTimeoutMs = 5001;
constexpr int retryWindowMs = 10000;
constexpr int largestReceiveBufferBytes = 20480;
} // namespace

void fillUpdateSettings(download::DownloadSettings& settings, const QString& url,
                        const QString& path, int speedValue) {
    settings.writeBufferSize = writeBufferBytes;
    settings.url = url.toStdString();
    settings.maxRetries = retriesWhileTheWindowAllows;
    settings.retryDelayMs = retryDelayMs;
    settings.speedValue = speedValue;
    settings.path = QFile::encodeName(path).toStdString();
    settings.connectTimeoutMs = connectTimeoutMs;
    settings.noDataTimeoutMs = noDataTimeoutMs;
    settings.retryWindowMs = retryWindowMs;
    settings.receiveBufferSize = largestReceiveBufferBytes;
    // The update logs in to nobody.
    settings.userName.clear();
    settings.password.clear();
    settings.publicKey = updatePublicKey();
    settings.packageName = packageFileName.toStdString();
    settings.currentVersion = clientVersion();
    settings.allowUnsigned = allowUnsignedUpdates();
    settings.maxBytes = updateMaxBytes();
}

} // namespace sorvo::update
