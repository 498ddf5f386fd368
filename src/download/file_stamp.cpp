#include "download/file_stamp.h"

#include <sys/stat.h>

namespace sorvo::download {

namespace {

FileStamp stampFrom(const struct stat& info) {
    return {info.st_dev, info.st_ino, static_cast<int64_t>(info.st_size), info.st_mtim};
}

} // namespace

bool FileStamp::operator==(const FileStamp& other) const {
    return device == other.device && inode == other.inode && size == other.size &&
           modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
}

std::optional<FileStamp> stampOf(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) return {};
    return stampFrom(info);
}

std::optional<FileStamp> stampOfPlainFile(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return {};
    return stampFrom(info);
}

} // namespace sorvo::download
