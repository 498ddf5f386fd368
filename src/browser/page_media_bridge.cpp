#include "browser/page_media_bridge.h"

#include "browser/page_text.h"

#include <QFile>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>
#include <algorithm>

namespace sorvo::browser {

namespace {

using platform::MediaCommand;
using platform::MediaState;
using platform::Playback;

QString resourceText(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll());
}

QWebEngineScript pageMediaScript() {
    QWebEngineScript script;
    script.setName(QStringLiteral("sorvo-page-media"));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(false);
    script.setSourceCode(QStringLiteral("(function () {\n") +
                         resourceText(QStringLiteral(":/qtwebchannel/qwebchannel.js")) +
                         resourceText(QStringLiteral(":/sorvo-web-view/page_media.js")) +
                         QStringLiteral("})();\n"));
    return script;
}

// The page's report is whatever the page made of it: only what fits is taken.
MediaState mediaFromReport(const QVariantMap& report, const QString& pageTitle) {
    MediaState media;
    const QString playback = report.value(QStringLiteral("playback")).toString();
    if (playback == QLatin1String("playing"))
        media.playback = Playback::Playing;
    else if (playback == QLatin1String("paused"))
        media.playback = Playback::Paused;
    media.title = pageText(report.value(QStringLiteral("title")).toString());
    if (media.title.isEmpty()) media.title = pageText(pageTitle);
    const QString artist = pageText(report.value(QStringLiteral("artist")).toString());
    if (!artist.isEmpty()) media.artists = QStringList{artist};
    media.album = pageText(report.value(QStringLiteral("album")).toString());
    media.artUrl = pagePictureAddress(report.value(QStringLiteral("artwork")).toString());
    media.volume = std::clamp(report.value(QStringLiteral("volume"), 1.0).toDouble(), 0.0, 1.0);
    media.canPlay = report.value(QStringLiteral("canPlay")).toBool();
    media.canPause = report.value(QStringLiteral("canPause")).toBool();
    media.canGoNext = report.value(QStringLiteral("canGoNext")).toBool();
    media.canGoPrevious = report.value(QStringLiteral("canGoPrevious")).toBool();
    return media;
}

QString actionName(MediaCommand command) {
    switch (command) {
    case MediaCommand::Play:
        return QStringLiteral("play");
    case MediaCommand::Pause:
        return QStringLiteral("pause");
    case MediaCommand::PlayPause:
        return QStringLiteral("playpause");
    case MediaCommand::Stop:
        return QStringLiteral("stop");
    case MediaCommand::Next:
        return QStringLiteral("nexttrack");
    case MediaCommand::Previous:
        return QStringLiteral("previoustrack");
    }
    return {};
}

} // namespace

PageMediaBridge::PageMediaBridge(QWebEngineView& view)
    : view_(view), endpoint_(new PageMediaEndpoint(this)) {
    QWebEnginePage& page = *view.page();
    auto* channel = new QWebChannel(this);
    channel->registerObject(QStringLiteral("pageMedia"), endpoint_);
    page.setWebChannel(channel, QWebEngineScript::MainWorld);
    page.scripts().insert(pageMediaScript());

    connect(endpoint_, &PageMediaEndpoint::reported, this, &PageMediaBridge::update);
    connect(&view, &QWebEngineView::titleChanged, this, [this] { update(report_); });
    // A page whose renderer is gone plays nothing, and reports nothing either.
    connect(&page, &QWebEnginePage::renderProcessTerminated, this, [this] { update({}); });
    update({});
}

void PageMediaBridge::perform(MediaCommand command) {
    emit endpoint_->commandRequested(actionName(command));
}

void PageMediaBridge::setVolume(double volume) {
    emit endpoint_->volumeRequested(std::clamp(volume, 0.0, 1.0));
}

void PageMediaBridge::mend() {
    emit endpoint_->commandRequested(QStringLiteral("mend"));
}

void PageMediaBridge::update(const QVariantMap& report) {
    report_ = report;
    const QString intent = report.value(QStringLiteral("intent")).toString();
    emit playbackReported({intent == QLatin1String("playing"), intent == QLatin1String("paused"),
                           report.value(QStringLiteral("advancing")).toBool(),
                           report.value(QStringLiteral("failed")).toBool(),
                           report.value(QStringLiteral("canPlay")).toBool(),
                           report.value(QStringLiteral("fedByPlayer")).toBool()});
    const MediaState media = mediaFromReport(report_, view_.title());
    if (media == media_) return;
    media_ = media;
    emit mediaChanged();
}

} // namespace sorvo::browser
