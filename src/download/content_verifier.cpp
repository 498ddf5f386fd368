#include "download/content_verifier.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <unistd.h>
#include <vector>

namespace sorvo::download {

namespace {

constexpr std::size_t readSize = 1 << 20;

// The cancel signal cannot wake the wait for the reader; it is looked at this often instead.
constexpr auto cancelCheck = std::chrono::milliseconds(20);

bool readAt(int fd, unsigned char* into, std::size_t size, int64_t offset) {
    while (size > 0) {
        const ssize_t n = ::pread(fd, into, size, offset);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        into += n;
        size -= static_cast<std::size_t>(n);
        offset += n;
    }
    return true;
}

} // namespace

ContentVerifier::ContentVerifier(int fd, SignatureCheck check)
    : fd_(fd), check_(std::move(check)), reader_([this] { readAlong(); }) {}

ContentVerifier::~ContentVerifier() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    reader_.join();
}

void ContentVerifier::written(int64_t end) {
    {
        std::lock_guard lock(mutex_);
        written_ = end;
    }
    changed_.notify_all();
}

void ContentVerifier::emptying() {
    std::lock_guard lock(mutex_);
    written_ = 0;
    read_ = 0;
    ++emptied_;
    readFailed_ = false;
}

std::optional<bool> ContentVerifier::verify(int64_t size, const CancelSignal& cancel) {
    std::unique_lock lock(mutex_);
    while (!changed_.wait_for(lock, cancelCheck,
                              [&] { return readFailed_ || (read_ >= size && written_ >= size); })) {
        if (cancel.raised()) return std::nullopt;
    }
    if (readFailed_ || read_ != size) return false;
    stopping_ = true;
    // The reader has stopped feeding the check: it feeds it only below written_, all read.
    return check_.matches();
}

// Reads outside the lock, so the writer never waits for the disk or the hash. Bytes read while
// the file was being emptied are thrown away: the emptying count tells.
void ContentVerifier::readAlong() {
    std::vector<unsigned char> buffer(readSize);
    std::unique_lock lock(mutex_);
    uint64_t emptiedSeen = emptied_;
    while (true) {
        changed_.wait(lock, [this] { return stopping_ || (!readFailed_ && read_ < written_); });
        if (stopping_) return;
        if (emptied_ != emptiedSeen) {
            check_.restart();
            emptiedSeen = emptied_;
            continue;
        }
        const int64_t offset = read_;
        const auto size = static_cast<std::size_t>(
            std::min<int64_t>(written_ - read_, static_cast<int64_t>(readSize)));
        lock.unlock();
        const bool ok = readAt(fd_, buffer.data(), size, offset);
        lock.lock();
        if (emptied_ != emptiedSeen) continue;
        if (!ok) {
            readFailed_ = true;
        } else {
            lock.unlock();
            check_.update(buffer.data(), size);
            lock.lock();
            if (emptied_ == emptiedSeen) read_ += static_cast<int64_t>(size);
        }
        changed_.notify_all();
    }
}

} // namespace sorvo::download
