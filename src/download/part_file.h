#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <system_error>
#include <vector>

namespace sorvo::download {

// The package while it is being written: "<target>.part" beside the target, locked against a
// second transfer to the same target. Only commit puts it at the target, so the target never
// holds a partial package or an error page.
class PartFile {
  public:
    PartFile(std::string target, std::size_t bufferSize);
    ~PartFile();
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    // Creates or empties the part file. Fails when the folder is missing or not writable, or
    // when another transfer is writing the same target (device_or_resource_busy).
    std::error_code open();
    std::error_code append(const char* data, std::size_t size);
    std::error_code flush();
    std::error_code startOver();
    // Bytes handed to the file so far; buffered ones are not yet.
    int64_t bytesWritten() const { return written_; }
    // Bytes accepted so far, buffered ones included.
    int64_t size() const { return written_ + static_cast<int64_t>(buffer_.size()); }
    // Writes out the buffer, syncs the file to disk and renames it over the target.
    std::error_code commit();
    // Removes the part file.
    void discard();

  private:
    std::error_code writeAll(const char* data, std::size_t size);
    void startWriteBack();
    void close();

    std::string target_;
    std::string partPath_;
    std::size_t capacity_;
    std::vector<char> buffer_;
    int fd_ = -1;
    int64_t written_ = 0;
    int64_t handedToDisk_ = 0; // bytes whose write-back has been started
};

} // namespace sorvo::download
