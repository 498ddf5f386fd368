#include "download/safe_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sorvo::download {

namespace {

class UnsafeTargetCategory : public std::error_category {
  public:
    const char* name() const noexcept override { return "unsafe target"; }
    std::string message(int value) const override {
        switch (static_cast<UnsafeTarget>(value)) {
        case UnsafeTarget::Link:
            return "a symbolic link stands there";
        case UnsafeTarget::NotPlainFile:
            return "something other than a plain file stands there";
        case UnsafeTarget::ForeignOwner:
            return "the file there belongs to another user";
        case UnsafeTarget::OtherNames:
            return "the file there also has other names";
        case UnsafeTarget::Replaced:
            return "the file there was replaced while it was being opened";
        }
        return "the name is not safe to write";
    }
};

std::error_code lastError() {
    return {errno, std::generic_category()};
}

// A plain file of the user's own, judged by what lstat or fstat say of it.
std::error_code plainFileOfOurs(const struct stat& info) {
    if (S_ISLNK(info.st_mode)) return UnsafeTarget::Link;
    if (!S_ISREG(info.st_mode)) return UnsafeTarget::NotPlainFile;
    if (info.st_uid != ::geteuid()) return UnsafeTarget::ForeignOwner;
    return {};
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Looked at before opening, so that nothing but a plain file is ever opened: opening a device
// or a FIFO can have effects of its own.
std::error_code lookBeforeOpening(const std::string& path, bool& exists) {
    struct stat info {};
    exists = ::lstat(path.c_str(), &info) == 0;
    if (!exists) return errno == ENOENT ? std::error_code() : lastError();
    return plainFileOfOurs(info);
}

std::error_code openedError() {
    // O_NOFOLLOW fails on a link with ELOOP; O_NONBLOCK makes a FIFO without a reader fail
    // with ENXIO instead of waiting for one.
    if (errno == ELOOP) return UnsafeTarget::Link;
    if (errno == ENXIO) return UnsafeTarget::NotPlainFile;
    return lastError();
}

} // namespace

const std::error_category& unsafeTargetCategory() {
    static const UnsafeTargetCategory category;
    return category;
}

std::error_code make_error_code(UnsafeTarget problem) {
    return {static_cast<int>(problem), unsafeTargetCategory()};
}

std::error_code openPlainFile(const std::string& path, int& fd) {
    fd = -1;
    bool exists = false;
    if (auto error = lookBeforeOpening(path, exists)) return error;
    const int opened =
        ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    if (opened < 0) return openedError();
    struct stat info {};
    std::error_code error = ::fstat(opened, &info) != 0 ? lastError() : plainFileOfOurs(info);
    if (!error && info.st_nlink != 1) error = UnsafeTarget::OtherNames;
    if (error) {
        ::close(opened);
        return error;
    }
    fd = opened;
    return {};
}

std::error_code stillAt(int fd, const std::string& path) {
    struct stat opened {
    }, named{};
    if (::fstat(fd, &opened) != 0) return lastError();
    if (::lstat(path.c_str(), &named) != 0 || !sameFile(opened, named))
        return UnsafeTarget::Replaced;
    return {};
}

std::error_code replaceable(const std::string& path) {
    bool exists = false;
    if (auto error = lookBeforeOpening(path, exists); error || !exists) return error;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? std::error_code() : openedError();
    struct stat info {};
    const std::error_code error = ::fstat(fd, &info) != 0 ? lastError() : plainFileOfOurs(info);
    ::close(fd);
    return error;
}

} // namespace sorvo::download
