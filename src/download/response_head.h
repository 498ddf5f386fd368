#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sorvo::download {

// "Content-Range: bytes first-last/total"; total is -1 when the server wrote "*".
struct ContentRange {
    int64_t first = 0;
    int64_t last = 0;
    int64_t total = -1;
};

std::optional<ContentRange> parseContentRange(std::string_view value);

// The status line and the headers of one HTTP response, fed line by line as libcurl's header
// callback delivers them. Redirects and interim answers bring heads of their own; a status line
// starts a new one.
class ResponseHead {
  public:
    // Returns true when the line is the blank one that ends the head.
    bool addLine(std::string_view line);

    int status() const { return status_; }
    // -1 when the head gives none.
    int64_t contentLength() const { return contentLength_; }
    // False when a Content-Length is no number, too large for one, or two disagree.
    bool lengthValid() const { return lengthValid_; }
    const std::optional<ContentRange>& contentRange() const { return contentRange_; }
    // What If-Range may carry to ask for the rest of this very package: a strong ETag, else the
    // Last-Modified date, else nothing (the package then cannot be resumed safely).
    std::string validator() const;

  private:
    void addField(std::string_view name, std::string_view value);

    int status_ = 0;
    int64_t contentLength_ = -1;
    bool lengthValid_ = true;
    std::optional<ContentRange> contentRange_;
    std::string etag_;
    std::string lastModified_;
};

} // namespace sorvo::download
