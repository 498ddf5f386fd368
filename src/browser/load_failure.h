#pragma once

#include <QWebEngineLoadingInfo>

namespace sorvo::browser {

// Whether a failed load of a page means that its site cannot be reached now, so that a later
// try may well succeed: no network, a name that does not resolve, a connection refused, cut or
// timed out, a certificate the engine refuses, no usable answer, or a server error (5xx). A page
// the server denies or does not have (4xx) is its answer, and a load that was called off (a
// newer navigation, a refused one, a download) is no failure of the site.
bool siteUnreachable(QWebEngineLoadingInfo::ErrorDomain domain, int code);

} // namespace sorvo::browser
