#pragma once

#include "download/file_identity.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace sorvo::download {

// Told what becomes of the part file's content, on the thread that writes it.
class WriteWatcher {
  public:
    virtual void emptying() = 0;           // the file is about to be emptied
    virtual void written(int64_t end) = 0; // bytes [0, end) are now in the file

  protected:
    ~WriteWatcher() = default;
};

// The package while it is being written: "<target>.part" beside the target, locked against a
// second transfer to the same target. Only commit puts it at the target, so the target never
// holds a partial package or an error page. Neither name is ever followed as a link, and only a
// plain file of the user's own is written or replaced, so nothing outside the folder is touched.
class PartFile {
  public:
    PartFile(std::string target, std::size_t bufferSize, WriteWatcher& watcher);
    ~PartFile();
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    // Creates or empties the part file; when the file at its name is still the one an earlier
    // transfer put aside as kept, it is taken up as it is instead, to be continued. Fails when
    // the folder is missing or not writable, when another transfer is writing the same target
    // (device_or_resource_busy), or with an UnsafeTarget error when either name holds anything
    // but a plain file of the user's own.
    std::error_code open(const std::optional<FileIdentity>& kept = {});
    std::error_code append(const char* data, std::size_t size);
    std::error_code startOver();
    // Bytes accepted so far, buffered ones included.
    int64_t size() const { return written_ + static_cast<int64_t>(buffer_.size()); }
    // Bytes in the file, without the buffered ones.
    int64_t flushedSize() const { return written_; }
    // For reading the file back while it is open.
    int descriptor() const { return fd_; }
    // Writes out the buffer and syncs the file to disk.
    std::error_code flushAndSync();
    // Renames the synced file over the target; placed is then the identity of the file at the
    // target, taken from the open file at the rename.
    std::error_code commit(FileIdentity& placed);
    // Removes the part file, if it is still the file at its name.
    void discard();
    // Puts the part file aside for a later transfer to continue: writes out the buffer as far as
    // the disk takes it, cuts the file to exactly the bytes written, and closes it in place.
    // Nullopt, and the file is removed, when nothing was written or the file is no longer the
    // one at its name.
    std::optional<FileIdentity> keep();

  private:
    std::error_code flush();
    std::error_code writeAll(const char* data, std::size_t size);
    std::error_code takeUp(int64_t size);
    void startWriteBack();
    void close();

    std::string target_;
    std::string partPath_;
    std::size_t capacity_;
    WriteWatcher& watcher_;
    std::vector<char> buffer_;
    int fd_ = -1;
    int64_t written_ = 0;
    int64_t handedToDisk_ = 0; // bytes whose write-back has been started
};

} // namespace sorvo::download
