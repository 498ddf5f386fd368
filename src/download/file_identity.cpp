#include "download/file_identity.h"

#include <sys/stat.h>

namespace sorvo::download {

namespace {

constexpr int64_t nanosecondsPerSecond = 1'000'000'000;

FileIdentity identityFrom(const struct stat& info) {
    return {static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino),
            static_cast<int64_t>(info.st_size),
            static_cast<int64_t>(info.st_mtim.tv_sec) * nanosecondsPerSecond +
                info.st_mtim.tv_nsec};
}

} // namespace

std::optional<FileIdentity> identityOf(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) return {};
    return identityFrom(info);
}

std::optional<FileIdentity> identityOf(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return {};
    return identityFrom(info);
}

} // namespace sorvo::download
