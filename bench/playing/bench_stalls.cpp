// How soon the radio plays again when its stream drops: the client's main window on the demo
// service's live streams, which the bench cuts for a while, round after round. A play is heard
// again once the page's position moves on. Figures: from the stream's return until the sound
// is back, after a drop long enough for the page to reload (10 s) and after a shorter one (8 s,
// longer than the player's read-ahead). Starts its own private desktop when DISPLAY is unset.
//
//   bench-stalls [rounds]      default: 3 rounds of each drop
#include "app/main_window.h"
#include "client_session.h"
#include "config/hosts.h"
#include "radio_service.h"
#include "support/update_desk.h"
#include "ui/framework/program.h"
#include "ui/framework/web_browser.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <httplib.h>
#include <optional>
#include <vector>

using namespace sorvo;

namespace {

constexpr int limitMs = 60000;

class Radio {
  public:
    explicit Radio(const RadioService& service) : service_(service) {
        window_ = new app::MainWindow(programUpdates().controller);
        // As the stall tests set it: the mends come within seconds.
        window_->radioBrowser().setStallTime(std::chrono::seconds(3));
        window_->load();
    }
    ~Radio() { delete window_; }
    Radio(const Radio&) = delete;
    Radio& operator=(const Radio&) = delete;

    // The page's play position in seconds; nullopt when the page did not answer.
    std::optional<double> position() {
        auto* view = window_->radioBrowser().findChild<QWebEngineView*>();
        if (!view) return std::nullopt;
        std::optional<QVariant> result;
        view->page()->runJavaScript(
            QStringLiteral("(a => a ? a.currentTime : -1)(document.querySelector('audio'))"),
            [&result](const QVariant& value) { result = value; });
        if (!QTest::qWaitFor([&] { return result.has_value(); }, limitMs)) return std::nullopt;
        return result->toDouble();
    }

    // Waits until the position moves on and keeps moving for half a second; returns when it
    // first moved, on `clock`, or nullopt past the limit. A reloaded page starts again at 0.
    std::optional<qint64> playing(const QElapsedTimer& clock) {
        const qint64 giveUp = clock.elapsed() + limitMs;
        std::optional<double> from;
        std::optional<qint64> moved;
        while (clock.elapsed() < giveUp) {
            const std::optional<double> now = position();
            if (now && *now >= 0) {
                if (!from || *now < *from) {
                    from = now;
                    moved.reset();
                } else if (*now > *from) {
                    if (!moved) moved = clock.elapsed();
                    if (*now > *from + 0.5) return moved;
                }
            }
            QTest::qWait(50);
        }
        return std::nullopt;
    }

    // Waits until the position stands still for a second: the drop is heard.
    bool silent(const QElapsedTimer& clock) {
        const qint64 giveUp = clock.elapsed() + limitMs;
        std::optional<double> last = position();
        qint64 since = clock.elapsed();
        while (clock.elapsed() < giveUp) {
            QTest::qWait(100);
            const std::optional<double> now = position();
            if (now != last) {
                last = now;
                since = clock.elapsed();
            } else if (clock.elapsed() - since >= 1000) {
                return true;
            }
        }
        return false;
    }

    // Cuts the streams for `seconds`; returns the milliseconds from the stream's return to the
    // sound's, or nullopt when it did not come back within the limit.
    std::optional<double> dropFor(int seconds) {
        httplib::Client client("http://" + service_.host());
        QElapsedTimer clock;
        clock.start();
        if (!client.Get("/diantai/sorvo/stream-outage?seconds=" + std::to_string(seconds)))
            return std::nullopt;
        if (!silent(clock)) return std::nullopt;
        const std::optional<qint64> back = playing(clock);
        if (!back) return std::nullopt;
        return static_cast<double>(*back - seconds * 1000);
    }

  private:
    const RadioService& service_;
    app::MainWindow* window_ = nullptr;
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void printRow(const char* figure, const std::vector<double>& values, int rounds, const char* goal) {
    if (values.empty()) {
        std::printf("| %s | the sound did not come back | %s |\n", figure, goal);
        return;
    }
    std::printf("| %s | %.0f ms median, %.0f ms at most (back in %zu of %d rounds) | %s |\n",
                figure, median(values), *std::max_element(values.begin(), values.end()),
                values.size(), rounds, goal);
}

} // namespace

int main(int argc, char* argv[]) {
    const ClientSession session;
    if (!session.ready()) return 1;
    ui::program::prepareProcess();
    QApplication application(argc, argv);
    ui::program::configureApplication();
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;

    // Live streams, cut only when the bench says.
    const RadioService service({"--stream-outage", "0"});
    if (service.host().empty()) return 1;
    hosts().site = QString::fromStdString(service.host());
    Radio radio(service);
    QElapsedTimer start;
    start.start();
    if (!radio.playing(start)) {
        std::fprintf(stderr, "the radio page did not play\n");
        return 1;
    }

    std::vector<double> afterLong, afterShort;
    for (int round = 1; round <= rounds; ++round) {
        for (const auto& [seconds, figures] :
             {std::pair{10, &afterLong}, std::pair{8, &afterShort}}) {
            const std::optional<double> back = radio.dropFor(seconds);
            if (back) figures->push_back(*back);
            std::printf("round %d, %d s drop: %s\n", round, seconds,
                        back ? (std::to_string(static_cast<int>(*back)) + " ms").c_str()
                             : "no sound");
        }
    }
    std::fflush(stdout);
    printRow("sound back after a 10 s stream drop, from the stream's return", afterLong, rounds,
             "< 5000 ms");
    printRow("sound back after an 8 s stream drop, from the stream's return", afterShort, rounds,
             "—");
    return 0;
}
