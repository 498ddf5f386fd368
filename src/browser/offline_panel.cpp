#include "browser/offline_panel.h"

#include "browser/browser_module.h"

#include <QBoxLayout>
#include <QEvent>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <cstdlib>

namespace sorvo::browser {

namespace {

const QString unreachableHeadline = QStringLiteral("无法连接到索沃电台");
const QString rendererHeadline = QStringLiteral("索沃电台页面意外退出");
const QString tryingText = QStringLiteral("正在重新连接…");
const QString rendererText = QStringLiteral("一分钟内多次退出，已停止自动载入");
const QString retryNow = QStringLiteral("立即重试");
const QString reloadNow = QStringLiteral("重新载入");

// Below this height the content goes in one row: the update window's browser is 80 pixels high.
constexpr int stackedMinHeight = 200;

struct Look {
    int mark; // the mark's size in pixels
    int headlinePixels;
    int statusPixels;
    int gap;
};
constexpr Look stacked{72, 22, 14, 12};
constexpr Look inRow{48, 15, 12, 12};

void setPixelSize(QWidget& widget, int pixels, bool bold) {
    QFont font = widget.font();
    font.setPixelSize(pixels);
    font.setBold(bold);
    widget.setFont(font);
}

QLabel* makeLabel(QWidget* parent, const QColor& colour) {
    auto* label = new QLabel(parent);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

// The mark's image that suits `size` logical pixels at the device pixel ratio best: from the
// icon drawn at twice the density above 1 (scaled down at 1.5), the smallest one big enough.
QPixmap markPicture(int size, qreal ratio) {
    const int density = ratio > 1 ? 2 : 1;
    const int wanted = size * density;
    QImageReader reader(density == 2 ? QStringLiteral(":/sorvo-web-view/mark@2x.ico")
                                     : QStringLiteral(":/sorvo-web-view/mark.ico"));
    // At least as wide as wanted, then as close to it as can be.
    const auto better = [wanted](const QImage& a, const QImage& b) {
        if ((a.width() >= wanted) != (b.width() >= wanted)) return a.width() >= wanted;
        return std::abs(a.width() - wanted) < std::abs(b.width() - wanted);
    };
    QImage best;
    for (int i = 0; i < reader.imageCount() && reader.jumpToImage(i); ++i) {
        const QImage image = reader.read();
        if (best.isNull() || better(image, best)) best = image;
    }
    const int device = qRound(size * ratio);
    if (best.width() != device)
        best = best.scaled(device, device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    best.setDevicePixelRatio(ratio);
    return QPixmap::fromImage(best);
}

} // namespace

OfflinePanel::OfflinePanel(QWidget& browser)
    : QWidget(&browser), mark_(new QLabel(this)),
      headline_(makeLabel(this, QColor(0xea, 0xee, 0xf6))),
      status_(makeLabel(this, QColor(0x9c, 0xa4, 0xb4))), retry_(new QPushButton(this)) {
    setObjectName(QStringLiteral("offlinePanel"));
    headline_->setObjectName(QStringLiteral("offlineHeadline"));
    status_->setObjectName(QStringLiteral("offlineStatus"));
    retry_->setObjectName(QStringLiteral("offlineRetry"));
    retry_->setCursor(Qt::PointingHandCursor);
    // Reached with the keyboard, but a click leaves the focus with the page.
    retry_->setFocusPolicy(Qt::TabFocus);
    retry_->setStyleSheet(QStringLiteral(
        "QPushButton { color: #ffffff; background: #1f7af0; border: none; border-radius: 3px;"
        " padding: 3px 12px; }"
        "QPushButton:hover { background: #3b8ef5; }"
        "QPushButton:focus { border: 1px solid #eaeef6; padding: 2px 11px; }"
        "QPushButton:pressed { background: #1864c8; }"));
    connect(retry_, &QPushButton::clicked, this, &OfflinePanel::retryRequested);
    countdown_.setSingleShot(true);
    connect(&countdown_, &QTimer::timeout, this, &OfflinePanel::showCountdown);
    browser.installEventFilter(this);
    hide();
}

void OfflinePanel::showUnreachable(QDeadlineTimer nextTry) {
    nextTry_ = nextTry;
    present(unreachableHeadline, retryNow);
    showCountdown();
}

void OfflinePanel::showTrying() {
    nextTry_ = QDeadlineTimer(0);
    present(unreachableHeadline, retryNow);
    showCountdown();
}

void OfflinePanel::showRendererFailing() {
    countdown_.stop();
    present(rendererHeadline, reloadNow);
    status_->setText(rendererText);
}

void OfflinePanel::present(const QString& headline, const QString& retryCaption) {
    headline_->setText(headline);
    retry_->setText(retryCaption);
    setGeometry(parentWidget()->rect());
    show();
    raise();
}

// The number shown changes once a second, exactly when the remaining time crosses a second.
void OfflinePanel::showCountdown() {
    const qint64 left = nextTry_.remainingTime();
    if (left <= 0) {
        countdown_.stop();
        status_->setText(tryingText);
    } else {
        const qint64 seconds = (left + 999) / 1000;
        status_->setText(QStringLiteral("%1 秒后重试").arg(seconds));
        countdown_.start(static_cast<int>(left - (seconds - 1) * 1000));
    }
}

// The part of the browser inside its window: a browser larger than its window shows only that.
QRect OfflinePanel::shownPart() const {
    const QRect windowHere(mapFrom(window(), QPoint(0, 0)), window()->size());
    const QRect shown = rect().intersected(windowHere);
    return shown.isEmpty() ? rect() : shown;
}

void OfflinePanel::showMark(int size) {
    const qreal ratio = devicePixelRatioF();
    if (size != markSize_ || ratio != markRatio_) mark_->setPixmap(markPicture(size, ratio));
    markSize_ = size;
    markRatio_ = ratio;
    mark_->setFixedSize(size, size);
}

// Laid out afresh only when the look changes; the layout itself follows the texts.
void OfflinePanel::arrange() {
    const QRect area = shownPart();
    const bool inOneRow = area.height() < stackedMinHeight;
    const Look look = inOneRow ? inRow : stacked;
    showMark(look.mark);
    setPixelSize(*headline_, look.headlinePixels, true);
    setPixelSize(*status_, look.statusPixels, false);
    setPixelSize(*retry_, look.statusPixels, false);
    if (!layout() || inOneRow != inOneRow_) {
        delete layout();
        if (inOneRow)
            layOutInRow(look.gap);
        else
            layOutStacked(look.gap);
        inOneRow_ = inOneRow;
    }
    // Centred in the shown part alone.
    layout()->setContentsMargins(area.left(), area.top(), width() - area.right() - 1,
                                 height() - area.bottom() - 1);
}

// Mark, headline, status and retry, each centred under the one before.
void OfflinePanel::layOutStacked(int gap) {
    auto* column = new QVBoxLayout(this);
    column->setAlignment(Qt::AlignCenter);
    column->setSpacing(0);
    column->addWidget(mark_, 0, Qt::AlignHCenter);
    column->addSpacing(gap);
    column->addWidget(headline_, 0, Qt::AlignHCenter);
    column->addSpacing(gap / 2);
    column->addWidget(status_, 0, Qt::AlignHCenter);
    column->addSpacing(gap);
    column->addWidget(retry_, 0, Qt::AlignHCenter);
}

// mark | headline
//      | status  [retry]
void OfflinePanel::layOutInRow(int gap) {
    auto* row = new QHBoxLayout(this);
    row->setAlignment(Qt::AlignCenter);
    row->setSpacing(gap);
    row->addWidget(mark_, 0, Qt::AlignVCenter);
    auto* text = new QVBoxLayout;
    text->setSpacing(4);
    text->addWidget(headline_, 0, Qt::AlignLeft);
    auto* statusRow = new QHBoxLayout;
    statusRow->setSpacing(gap);
    statusRow->addWidget(status_, 0, Qt::AlignVCenter);
    statusRow->addWidget(retry_, 0, Qt::AlignVCenter);
    text->addLayout(statusRow);
    text->setAlignment(statusRow, Qt::AlignLeft);
    row->addLayout(text);
    row->setAlignment(text, Qt::AlignVCenter);
}

// The panel follows its browser's size, and new widgets the engine puts into the browser (it
// makes one for each renderer) go below it.
// A panel up in a window not shown yet counts too: it follows the browser all the same.
bool OfflinePanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && !isHidden()) {
        if (event->type() == QEvent::Resize)
            setGeometry(parentWidget()->rect());
        else if (event->type() == QEvent::ChildAdded)
            QMetaObject::invokeMethod(this, &QWidget::raise, Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, event);
}

// The part of the browser shown depends on the window, which may have been laid out since.
void OfflinePanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    arrange();
}

void OfflinePanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    arrange();
}

void OfflinePanel::paintEvent(QPaintEvent*) {
    // The window may have gone to a screen of another density.
    if (markSize_ > 0) showMark(markSize_);
    QPainter(this).fillRect(rect(), pageBackground);
}

} // namespace sorvo::browser
