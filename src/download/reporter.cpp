#include "download/reporter.h"

namespace sorvo::download {

Reporter::Reporter(const DownloadSettings& settings, HookGate& gate)
    : settings_(settings), gate_(gate) {}

void Reporter::sizeKnown(int64_t total) {
    event({.kind = SizeKnown, .bytes = total});
}

void Reporter::finished(int64_t size, const FileIdentity& file) {
    event({.kind = Finished, .bytes = size, .file = file});
}

void Reporter::retrying(int32_t retry, const Failure& why, int64_t keptBytes) {
    message(Failure{MessageCode::Retrying, why.text, why.httpStatus, why.curlCode});
    event({.kind = Retrying, .reason = why.code, .attempt = retry, .bytes = keptBytes});
}

void Reporter::failed(const Failure& failure, int64_t receivedBytes) {
    message(failure);
    event({.kind = Failed,
           .reason = failure.code,
           .httpStatus = failure.httpStatus,
           .bytes = receivedBytes});
}

void Reporter::event(const Event& event) {
    if (settings_.eventHook) gate_.pass([&] { settings_.eventHook(event); });
}

void Reporter::message(const Failure& failure) {
    if (settings_.messageHook)
        gate_.pass([&] {
            settings_.messageHook(static_cast<int32_t>(failure.code), failure.text, settings_.url,
                                  failure.httpStatus, failure.curlCode);
        });
}

} // namespace sorvo::download
