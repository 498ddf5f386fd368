#pragma once

#include "download/file_identity.h"

#include <cstdint>
#include <string>
#include <utility>

namespace sorvo::download {

// A package cut short by a failure that a retry may get past: its part file, put aside exactly
// as far as it was written, and what asking the server for the rest takes.
struct KeptPackage {
    std::string url;
    std::string target;    // the part file is "<target>.part"
    std::string validator; // If-Range value of the bytes kept
    int64_t total = -1;    // the package's size; -1 when the server did not say
    FileIdentity part;     // the part file as it was put aside; part.size is the bytes kept
};

// What a failed transfer leaves for the next start on its Downloader. It owns the part file
// while the file lies aside: destroyed before a transfer took the file up, it removes the file,
// but only if the name still holds that very file as it was left, so a link, a newer file or
// one that another transfer writes stays untouched.
class ResumePoint {
  public:
    explicit ResumePoint(KeptPackage kept) : kept_(std::move(kept)) {}
    ~ResumePoint();
    ResumePoint(const ResumePoint&) = delete;
    ResumePoint& operator=(const ResumePoint&) = delete;

    const KeptPackage& kept() const { return kept_; }
    // Whether a download of url to target continues the kept package.
    bool continues(const std::string& url, const std::string& target) const {
        return url == kept_.url && target == kept_.target;
    }
    // The transfer that continues the file owns it from now on.
    void takeUp() { owned_ = false; }

  private:
    const KeptPackage kept_;
    bool owned_ = true;
};

} // namespace sorvo::download
