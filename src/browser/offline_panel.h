#pragma once

#include <QDeadlineTimer>
#include <QTimer>
#include <QWidget>

class QLabel;
class QPushButton;

namespace sorvo::browser {

// What a browser shows in place of its page while the page cannot be shown: the window's dark
// backdrop, the 索沃电台 mark, what went wrong, when the next try comes, and a button to try at
// once. It covers the browser it is made for and stays above the engine's own widgets; its
// content sits in the part of the browser that the window shows (the main window shows only
// the middle of its browser), stacked in a tall browser and in one row in a low one.
class OfflinePanel : public QWidget {
    Q_OBJECT
  public:
    explicit OfflinePanel(QWidget& browser);

    // The site cannot be reached; the next try comes when `nextTry` expires.
    void showUnreachable(QDeadlineTimer nextTry);
    // The site could not be reached, and a try is under way.
    void showTrying();
    // The page's renderer died too often; only the button tries again.
    void showRendererFailing();

  signals:
    void retryRequested();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void present(const QString& headline, const QString& retryCaption);
    void showCountdown();
    void arrange();
    void layOutStacked(int gap);
    void layOutInRow(int gap);
    QRect shownPart() const;
    void showMark(int size);

    bool inOneRow_ = false;
    int markSize_ = 0;
    qreal markRatio_ = 0;
    QLabel* mark_;
    QLabel* headline_;
    QLabel* status_;
    QPushButton* retry_;
    QTimer countdown_;
    QDeadlineTimer nextTry_;
};

} // namespace sorvo::browser
