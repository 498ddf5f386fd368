#pragma once

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdlib.h>
#include <string>
#include <sys/mount.h>
#include <unistd.h>

// A file system of a given size of its own (tmpfs) on a fresh folder, to see what a download
// does when the disk fills up. Mounting one takes root; where it cannot be mounted, mounted()
// is false and whyNot() says why.
class SmallDisk {
  public:
    explicit SmallDisk(std::size_t bytes) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "sorvo-disk-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            whyNot_ = "cannot make a folder: " + std::string(std::strerror(errno));
            return;
        }
        path_ = pattern;
        if (::geteuid() != 0) {
            whyNot_ = "mounting a small disk needs root";
            return;
        }
        mounted_ = mountWith(0, bytes);
    }
    ~SmallDisk() {
        // Detached, so that a file still open elsewhere cannot keep it mounted.
        if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
        if (!path_.empty()) std::filesystem::remove_all(path_);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& whyNot() const { return whyNot_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }

    // Gives the disk this size, keeping what is on it.
    bool resize(std::size_t bytes) { return mountWith(MS_REMOUNT, bytes); }

  private:
    bool mountWith(unsigned long flags, std::size_t bytes) {
        const std::string options = "size=" + std::to_string(bytes) + ",mode=0700";
        if (::mount("tmpfs", path_.c_str(), "tmpfs", flags, options.c_str()) == 0) return true;
        whyNot_ = "cannot mount a tmpfs: " + std::string(std::strerror(errno));
        return false;
    }

    std::filesystem::path path_;
    bool mounted_ = false;
    std::string whyNot_;
};
