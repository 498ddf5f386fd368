#pragma once

#include "download/file_identity.h"

#include <cstdint>
#include <functional>
#include <string>

namespace sorvo::download {

// Every transfer reports exactly one of Finished and Failed, last, unless release or a new
// startDownload stops it first; no hook runs after that.
enum EventKind : int32_t {
    // bytes: the package's total size, as soon as the server has said it. Sent again when a
    // retry finds the package changed on the server and the size with it.
    SizeKnown = 3,
    // bytes: the package's size, all of it on disk at the target path; file: the identity of
    // that file as it was put there, checked against the signature when a key is set.
    Finished = 4,
    // attempt: the retry about to be made (1 for the first), reason: why, bytes: bytes of the
    // package written so far; the retry asks for the rest of them when it can resume.
    Retrying = 5,
    // reason: why, httpStatus: the HTTP status behind it (0 when there is none), bytes: bytes
    // received before it. Nothing is left at the target path on behalf of this transfer. When
    // a later try may get past the failure (ConnectionLost, HttpError, BadAnswer, DiskFull) and
    // the server named the package's version, "<target>.part" stays with the bytes written, for
    // the next start on the same Downloader to resume.
    Failed = 6,
};

// Why a transfer failed or is retried. New reasons are appended; the numbers stay.
enum class MessageCode : int32_t {
    Retrying = 1,          // a transient failure; the download goes on after the retry delay
    HttpError = 2,         // the server answered with an error status (404 and 410: no package)
    ConnectionLost = 3,    // no connection, a stalled, trickling or cut transfer, and no retry left
    BadAnswer = 4,         // the server's answer cannot be a package: redirect loop, odd status,
                           // a length that is no number or too large to be one
    WriteFailed = 5,       // the package could not be written or put in place
    TargetUnusable = 6,    // the target's folder is missing or not writable, or it is in use
    Refused = 7,           // the settings cannot start a download: no address, no path, file type,
                           // a public key that is not one, no package name or version to check
    Cancelled = 8,         // release called from inside one of the transfer's own hooks
    DiskFull = 9,          // no room left for the package: the disk is full or the quota used up
    TargetUnsafe = 10,     // the target or its ".part" is a link, a FIFO or anything but a plain
                           // file of the user's own with no other name
    SignatureMissing = 11, // the server has no "<address>.minisig" (404 or 410)
    SignatureMalformed = 12, // the signature file cannot be read: its lines, base64, length or
                             // algorithm are not those of a signature, or it is of the older
                             // form that signs the file itself instead of its hash ("Ed")
    SignatureWrongKey = 13,  // the signature was made with another key than the trusted one
    SignatureMismatch = 14,  // the package, or the signature's trusted comment, does not match
                             // the signature: changed, cut short, lengthened or another file
    Unsigned = 15,           // no public key is set and unsigned packages are not allowed
    TooLarge = 16,           // the package is larger than the settings' maxBytes
    PackageTooOld = 17,      // the signed version is not newer than the client's own
    PackageMismatch = 18,    // the signed comment names another file, or lacks or garbles the
                             // file name or the version
    PackageChanged = 19,     // not reported by a transfer: the verified package was changed or
                             // replaced before it could be started
};

// One notification of a transfer; which fields count depends on the kind (see EventKind).
struct Event {
    EventKind kind = SizeKnown;
    MessageCode reason{};
    int32_t httpStatus = 0;
    int32_t attempt = 0;
    int64_t bytes = 0;
    FileIdentity file{};
};

// Both hooks run on the transfer's worker thread, never on the thread that called
// startDownload. A hook must return promptly and must not wait for another thread: release and
// startDownload wait for a hook of the transfer they stop that is running.
using EventHook = std::function<void(const Event&)>;

// The message hook receives a MessageCode, a readable text, the address being downloaded and two
// numbers: the HTTP status and the libcurl result behind the message (0 when there is none).
using MessageHook = std::function<void(int32_t code, const std::string& text1,
                                       const std::string& text2, int32_t a, int32_t b)>;

} // namespace sorvo::download
