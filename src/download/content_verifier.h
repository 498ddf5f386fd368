#pragma once

#include "download/cancel_signal.h"
#include "download/signature_check.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace sorvo::download {

// Checks the package against its signature while it is being written. A thread of its own
// reads the file once, right behind the writer (so mostly from the page cache), and feeds the
// check; when the package is complete, only the last bytes are left to read.
//
// Threading: written and emptying are called by the writer, verify once at the end; the file
// descriptor must stay open until the verifier is destroyed.
class ContentVerifier {
  public:
    ContentVerifier(int fd, SignatureCheck check);
    ~ContentVerifier();
    ContentVerifier(const ContentVerifier&) = delete;
    ContentVerifier& operator=(const ContentVerifier&) = delete;

    // Bytes [0, end) are in the file.
    void written(int64_t end);
    // The file is about to be emptied: what was read so far no longer counts.
    void emptying();
    // Waits until the file's first size bytes are read; whether they carry the signature.
    // Nullopt when cancelled first.
    std::optional<bool> verify(int64_t size, const CancelSignal& cancel);

  private:
    void readAlong();

    const int fd_;
    SignatureCheck check_; // used by the reading thread only, until verify
    std::mutex mutex_;
    std::condition_variable changed_;
    int64_t written_ = 0;  // bytes the writer has put in the file
    int64_t read_ = 0;     // bytes fed to the check
    uint64_t emptied_ = 0; // how often the file was emptied
    bool readFailed_ = false;
    bool stopping_ = false;
    std::thread reader_;
};

} // namespace sorvo::download
