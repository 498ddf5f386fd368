#include "browser/load_failure.h"

namespace sorvo::browser {

namespace {
// The engine's own network errors that are not connection errors by their number.
constexpr int timedOut = -7;
constexpr int networkChanged = -21;
} // namespace

bool siteUnreachable(QWebEngineLoadingInfo::ErrorDomain domain, int code) {
    switch (domain) {
    case QWebEngineLoadingInfo::ConnectionErrorDomain:
    case QWebEngineLoadingInfo::DnsErrorDomain:
    case QWebEngineLoadingInfo::CertificateErrorDomain:
    case QWebEngineLoadingInfo::HttpErrorDomain:
        return true;
    case QWebEngineLoadingInfo::HttpStatusCodeDomain:
        return code >= 500;
    case QWebEngineLoadingInfo::InternalErrorDomain:
        return code == timedOut || code == networkChanged;
    default:
        return false;
    }
}

} // namespace sorvo::browser
