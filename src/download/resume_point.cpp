#include "download/resume_point.h"

#include <unistd.h>

namespace sorvo::download {

// unlink removes a link itself, never what it points to; the identity keeps anything but the file
// that was put aside from being removed.
ResumePoint::~ResumePoint() {
    if (!owned_) return;
    const std::string path = kept_.target + ".part";
    if (identityOf(path) == kept_.part) ::unlink(path.c_str());
}

} // namespace sorvo::download
