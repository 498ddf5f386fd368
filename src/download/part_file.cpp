#include "download/part_file.h"

#include "download/safe_file.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace sorvo::download {

namespace {

// How much written data may wait in the page cache before its write-back is started.
constexpr int64_t writeBackStep = 8 << 20;

std::error_code lastError() {
    return {errno, std::generic_category()};
}

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Makes the rename itself durable. A failure here leaves a complete package in place that a
// power cut might undo; nothing better can be done about it, so it is not reported.
void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

PartFile::PartFile(std::string target, std::size_t bufferSize, WriteWatcher& watcher)
    : target_(std::move(target)), partPath_(target_ + ".part"), capacity_(bufferSize),
      watcher_(watcher) {
    buffer_.reserve(capacity_);
}

PartFile::~PartFile() {
    discard();
}

std::error_code PartFile::open(const std::optional<FileIdentity>& kept) {
    if (auto error = replaceable(target_)) return error;
    // Not emptied yet: the file may belong to a running transfer until the lock says otherwise.
    if (auto error = openPlainFile(partPath_, fd_)) return error;
    std::error_code error;
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0)
        error = errno == EWOULDBLOCK ? std::make_error_code(std::errc::device_or_resource_busy)
                                     : lastError();
    // Between the open and the lock, another transfer may have renamed or removed the file.
    else
        error = stillAt(fd_, partPath_);
    if (error) {
        close();
        return error;
    }
    if (kept && identityOf(fd_) == kept) return takeUp(kept->size);
    return startOver();
}

std::error_code PartFile::takeUp(int64_t size) {
    if (::lseek(fd_, size, SEEK_SET) != size) return lastError();
    written_ = size;
    handedToDisk_ = size;
    return {};
}

std::error_code PartFile::append(const char* data, std::size_t size) {
    if (buffer_.size() + size > capacity_) {
        if (auto error = flush()) return error;
    }
    if (size >= capacity_) return writeAll(data, size);
    buffer_.insert(buffer_.end(), data, data + size);
    return {};
}

std::error_code PartFile::flush() {
    if (buffer_.empty()) return {};
    const std::error_code error = writeAll(buffer_.data(), buffer_.size());
    buffer_.clear();
    return error;
}

std::error_code PartFile::startOver() {
    watcher_.emptying();
    buffer_.clear();
    written_ = 0;
    handedToDisk_ = 0;
    if (::ftruncate(fd_, 0) != 0 || ::lseek(fd_, 0, SEEK_SET) != 0) return lastError();
    return {};
}

std::error_code PartFile::flushAndSync() {
    if (auto error = flush()) return error;
    if (::fsync(fd_) != 0) return lastError();
    return {};
}

std::error_code PartFile::commit(FileIdentity& placed) {
    // rename replaces a link at the target rather than following it; the check keeps anything
    // but an old package of the user's own from being replaced.
    if (auto error = replaceable(target_)) return error;
    if (auto error = stillAt(fd_, partPath_)) return error;
    // Taken before the rename, which changes neither the file nor its time, so that a file whose
    // identity cannot be read never reaches the target.
    const auto identity = identityOf(fd_);
    if (!identity) return lastError();
    if (std::rename(partPath_.c_str(), target_.c_str()) != 0) return lastError();
    placed = *identity;
    close();
    syncFolder(folderOf(target_));
    return {};
}

void PartFile::discard() {
    if (fd_ < 0) return;
    if (!stillAt(fd_, partPath_)) ::unlink(partPath_.c_str());
    close();
}

std::optional<FileIdentity> PartFile::keep() {
    if (fd_ < 0) return {};
    // A full disk takes what it can of the buffer; written_ counts exactly that.
    flush();
    std::optional<FileIdentity> identity;
    if (written_ > 0 && ::ftruncate(fd_, written_) == 0 && !stillAt(fd_, partPath_))
        identity = identityOf(fd_);
    if (!identity || identity->size != written_) {
        discard();
        return {};
    }
    close();
    return identity;
}

std::error_code PartFile::writeAll(const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd_, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return lastError();
        }
        data += n;
        size -= static_cast<std::size_t>(n);
        written_ += n;
    }
    watcher_.written(written_);
    if (written_ - handedToDisk_ >= writeBackStep) startWriteBack();
    return {};
}

// Starts writing the newest data to disk without waiting for it, so that the sync in commit
// finds little left to do instead of the whole package.
void PartFile::startWriteBack() {
#ifdef __linux__
    ::sync_file_range(fd_, handedToDisk_, written_ - handedToDisk_, SYNC_FILE_RANGE_WRITE);
#endif
    handedToDisk_ = written_;
}

void PartFile::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

} // namespace sorvo::download
