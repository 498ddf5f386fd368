#include "download/reporter.h"

#include "download/progress.h"

namespace sorvo::download {

Reporter::Reporter(const DownloadSettings& settings, HookGate& gate)
    : settings_(settings), gate_(gate) {}

void Reporter::sizeKnown(int64_t total) {
    event(SizeKnown, 0, 0, total);
}

void Reporter::finished(int64_t size) {
    event(Finished, 0, 0, size);
}

void Reporter::retrying(int32_t retry, const Failure& why, int64_t keptBytes) {
    message(Failure{MessageCode::Retrying, why.text, why.httpStatus, why.curlCode});
    event(Retrying, retry, 0, keptBytes);
}

void Reporter::failed(const Failure& failure, int64_t receivedBytes) {
    message(failure);
    event(Failed, static_cast<int32_t>(failure.code), failure.httpStatus, receivedBytes);
}

void Reporter::event(EventKind kind, int32_t a, int32_t b, int64_t c) {
    if (settings_.eventHook) gate_.pass([&] { settings_.eventHook(kind, a, b, saturated(c), 0); });
}

void Reporter::message(const Failure& failure) {
    if (settings_.messageHook)
        gate_.pass([&] {
            settings_.messageHook(static_cast<int32_t>(failure.code), failure.text, settings_.url,
                                  failure.httpStatus, failure.curlCode);
        });
}

} // namespace sorvo::download
