#include "app/now_playing.h"

#include "app/main_window.h"
#include "platform/desktop_notifications.h"
#include "ui/framework/web_browser.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <chrono>

namespace sorvo::app {

namespace {

using platform::MediaState;
using platform::Playback;

constexpr std::chrono::seconds quietTime(10);
constexpr std::chrono::seconds coverTime(5);
constexpr qint64 coverBytesLimit = 1 << 20;
constexpr int pictureSize = 128;

bool samePiece(const MediaState& a, const MediaState& b) {
    return a.title == b.title && a.artists == b.artists;
}

QString noticeBody(const MediaState& media) {
    QStringList parts;
    if (!media.artists.isEmpty()) parts << media.artists.join(QStringLiteral("、"));
    if (!media.album.isEmpty()) parts << media.album;
    return parts.join(QStringLiteral(" · "));
}

} // namespace

NowPlaying::NowPlaying(MainWindow& window, platform::DesktopNotifications* notifications,
                       QObject* parent)
    : QObject(parent), window_(window), notifications_(notifications) {
    quiet_.setSingleShot(true);
    quiet_.setInterval(quietTime);
    connect(&quiet_, &QTimer::timeout, this, &NowPlaying::notifyWhenDue);
    connect(&window.radioBrowser(), &ui::WebBrowser::mediaChanged, this,
            &NowPlaying::onMediaChanged);
}

bool NowPlaying::listenerIsAway() const {
    return !window_.splashing() && !window_.isActiveWindow();
}

// Only a piece that follows another while sound flows is news: the first one heard is what the
// listener tuned in to, and what changes during a pause is no broadcast heard.
void NowPlaying::onMediaChanged() {
    const MediaState media = window_.radioBrowser().media();
    const bool playing = media.playback == Playback::Playing;
    window_.showOnAir(playing ? media.title : QString());
    const bool news = playing && seenPiece_ && !samePiece(media, shown_);
    if (!samePiece(media, shown_)) shown_ = media;
    seenPiece_ = seenPiece_ || playing;
    if (!news || notifications_ == nullptr) return;
    pending_ = true;
    notifyWhenDue();
}

void NowPlaying::notifyWhenDue() {
    if (!pending_ || quiet_.isActive() || coverReply_) return;
    pending_ = false;
    const MediaState media = window_.radioBrowser().media();
    if (media.playback != Playback::Playing || !listenerIsAway()) return;
    quiet_.start();
    shown_ = media;
    if (!media.artUrl.isValid()) {
        notify({});
        return;
    }
    if (network_ == nullptr) network_ = new QNetworkAccessManager(this);
    QNetworkRequest request(media.artUrl);
    request.setTransferTimeout(std::chrono::milliseconds(coverTime).count());
    coverReply_ = network_->get(request);
    connect(coverReply_, &QNetworkReply::downloadProgress, coverReply_,
            [reply = coverReply_](qint64 received) {
                if (received > coverBytesLimit) reply->abort();
            });
    connect(coverReply_, &QNetworkReply::finished, this, [this, reply = coverReply_] {
        reply->deleteLater();
        const QImage cover = reply->error() == QNetworkReply::NoError
                                 ? QImage::fromData(reply->readAll())
                                 : QImage();
        notify(cover);
    });
}

void NowPlaying::notify(const QImage& cover) {
    QImage picture = cover.isNull() ? window_.windowIcon().pixmap(pictureSize).toImage() : cover;
    if (!picture.isNull() && (picture.width() > pictureSize || picture.height() > pictureSize))
        picture =
            picture.scaled(pictureSize, pictureSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    notifications_->show({shown_.title, noticeBody(shown_), picture});
    // A change that came while the cover was on its way waits for the quiet time.
}

} // namespace sorvo::app
