#include "update/progress_texts.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace sorvo::update {

namespace {
constexpr double bytesPerMegabyte = 1048576.0;
constexpr std::int32_t bytesPerKilobyte = 1024;
} // namespace

QString decimal(double x) {
    return QString::number(x, 'f', QLocale::FloatingPointShortest);
}

QString twoPlaces(double x) {
    return decimal(std::round(x * 100.0) / 100.0);
}

int barPosition(std::int64_t done, std::int64_t total) {
    const double position =
        std::trunc(static_cast<double>(done) * 1000.0 / static_cast<double>(total));
    return static_cast<int>(std::clamp(position, 0.0, 1000.0));
}

QString downloadedText(int position) {
    return QStringLiteral("已下载:") + decimal(position / 10.0) + u'%';
}

QString sizeProgressText(std::int64_t done, std::int64_t total) {
    return QStringLiteral("进度：") + twoPlaces(static_cast<double>(done) / bytesPerMegabyte) +
           QStringLiteral("M/") + twoPlaces(static_cast<double>(total) / bytesPerMegabyte) + u'M';
}

QString speedText(std::int64_t bytesPerSecond) {
    return QStringLiteral("速度：") + QString::number(bytesPerSecond / bytesPerKilobyte) +
           QStringLiteral("KB/秒 ");
}

std::optional<QString> remainingTimeText(std::int64_t total, std::int64_t done,
                                         std::int64_t bytesPerSecond) {
    if (bytesPerSecond == 0) return std::nullopt;
    const std::int64_t seconds = (total - done) / bytesPerSecond;
    if (seconds == 0) return std::nullopt;
    return QStringLiteral("剩余时间:") + QString::number(seconds) + QStringLiteral("秒");
}

QString fileSizeText(std::int64_t total) {
    return QStringLiteral("文件大小:") + twoPlaces(static_cast<double>(total) / bytesPerMegabyte) +
           u'M';
}

QString totalTimeText(std::int64_t elapsedMs) {
    return QStringLiteral("总耗时:") + twoPlaces(static_cast<double>(elapsedMs) / 1000.0) +
           QStringLiteral("秒");
}

QString failureText(download::MessageCode reason, int httpStatus) {
    using download::MessageCode;
    const auto because = [](const char* why) {
        return failedText + QStringLiteral("：") + QString::fromUtf8(why);
    };
    switch (reason) {
    case MessageCode::HttpError:
        if (httpStatus == 404 || httpStatus == 410) return because("没有升级包");
        return because("服务器出错");
    case MessageCode::ConnectionLost:
        return because("连不上服务器");
    case MessageCode::BadAnswer:
        return because("服务器异常");
    case MessageCode::WriteFailed:
        return because("无法保存文件");
    case MessageCode::TargetUnusable:
        return because("文件夹不可写");
    case MessageCode::Refused:
        return because("无法开始下载");
    case MessageCode::DiskFull:
        return because("磁盘空间不足");
    case MessageCode::TargetUnsafe:
        return because("位置不安全");
    case MessageCode::SignatureMissing:
    case MessageCode::Unsigned:
        return because("升级包未签名");
    case MessageCode::SignatureMalformed:
    case MessageCode::SignatureWrongKey:
    case MessageCode::SignatureMismatch:
        return because("签名校验失败");
    case MessageCode::TooLarge:
        return because("升级包过大");
    case MessageCode::PackageTooOld:
        return because("升级包版本过旧");
    case MessageCode::PackageMismatch:
    case MessageCode::PackageChanged:
        return because("升级包不符");
    case MessageCode::Retrying:
    case MessageCode::Cancelled:
        break;
    }
    return failedText;
}

} // namespace sorvo::update
