#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// The update window's progress figures and texts. Numbers are written in their shortest decimal
// form, never with an exponent: 52.3, 0, 3 (not 3.00).
namespace sorvo::update {

struct DownloadEvent;

inline const QString connectingText = QStringLiteral("正在连接下载服务器...");
inline const QString verifyingText = QStringLiteral("正在效验版本!");
inline const QString completedText = QStringLiteral("已完成:100%");
inline const QString finishedText = QStringLiteral("下载已完成!");
inline const QString failedText = QStringLiteral("下载失败");

// x written as a decimal number.
QString decimal(double x);
// x rounded to two decimal places (halves away from zero), then written as a decimal number.
QString twoPlaces(double x);

// The progress bar position, in tenths of a percent, for `done` of `total` bytes: the quotient
// with its fraction dropped, kept within the bar's range 0 to 1000.
int barPosition(std::int64_t done, std::int64_t total);

// "已下载:52.3%" for bar position 523; also the tray tooltip while downloading.
QString downloadedText(int position);
// "进度：1.25M/3.25M".
QString sizeProgressText(std::int64_t done, std::int64_t total);
// "速度：12KB/秒 ", whole kilobytes per second.
QString speedText(std::int64_t bytesPerSecond);
// "剩余时间:17秒", or nothing when the rate is unknown (0) or less than a second remains.
std::optional<QString> remainingTimeText(std::int64_t total, std::int64_t done,
                                         std::int64_t bytesPerSecond);
// "文件大小:3.25M".
QString fileSizeText(std::int64_t total);
// "总耗时:12.34秒".
QString totalTimeText(std::uint32_t elapsedMs);

// "下载失败：" and why, short enough for the size label: what a listener can do something
// about (no package on the server, no connection, a full disk) told apart.
QString failureText(const DownloadEvent& event);

// Milliseconds from `start` to `now` on the 32-bit tick count, across its wrap-around.
std::uint32_t elapsedTicks(std::uint32_t now, std::uint32_t start);

} // namespace sorvo::update
