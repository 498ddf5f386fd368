#pragma once

#include "download/hooks.h"

#include <cstdint>
#include <string>

namespace sorvo::download {

// The slots of the settings record, in their order, and the fields that guard what reaches the
// target. The initialisers are the values at program start; the update overwrites slots 1 to 12,
// 14 and 15 and the guards before each download.
// startDownload copies the record, so later changes do not reach a running transfer.
// For the durations, 0 or less means "no limit of our own".
struct DownloadSettings {
    // Slot 1: bytes gathered in memory before one write to the file. Under a low rate cap the
    // network delivers pieces of about 1 KiB, which this joins into fewer writes; 1 writes each
    // piece as it comes. The update window sets 4096.
    int32_t writeBufferSize = 1;
    // Slot 2: the address to download from, http or https, already percent-encoded. Redirects
    // are followed, to http and https, but never from https to http.
    std::string url;
    // Slot 3: the file to write. The package grows in "<path>.part" beside it and replaces the
    // file only once complete.
    std::string path;
    // Slots 4 and 5: HTTP basic login, sent when userName is not empty. The design's record
    // starts with an anonymous FTP login here ("anonymous" and an e-mail address); a download
    // over HTTP has no use for it, so they start empty and nothing is sent unless a caller
    // sets them.
    std::string userName;
    std::string password;
    // Slot 6: the rate cap in steps of 8 KiB/s (see rate_cap.h): 6 is 48 KiB/s, 120 is 960 KiB/s;
    // 200 and above, and 0 and below, leave the transfer uncapped.
    int32_t speedValue = 1;
    // Slot 7: how many times a transient failure (connection refused, reset or cut short, no data
    // in time, a body slower than 1 KiB/s for a minute, 5xx, 408, 429) is retried. The update
    // window sets 999999999: "as long as retryWindowMs allows".
    int32_t maxRetries = 0;
    // Slot 8: milliseconds allowed for connecting. The update window sets 5000.
    int32_t connectTimeoutMs = 20000;
    // Slot 9: milliseconds without a byte from the server, from the request on, before the
    // attempt counts as stalled. The update window sets 5001.
    int32_t noDataTimeoutMs = 20000;
    // Slot 10: no retry is made once this many milliseconds have passed without a byte of the
    // package arriving: a server that is gone fails the download instead of being asked forever.
    // A body that only trickled counts as no bytes. The update window sets 10000.
    int32_t retryWindowMs = 20000;
    // Slot 11: milliseconds to wait before a retry.
    int32_t retryDelayMs = 1000;
    // Slots 12 and 13: the largest and the smallest receive buffer in bytes under a rate cap.
    // A capped transfer reads about 1/48 of a second's worth at a time, within these bounds:
    // 1 KiB at the lowest cap, 20 KiB at the highest. Uncapped transfers read 128 KiB at a time.
    int32_t receiveBufferSize = 20480;
    int32_t minReceiveBufferSize = 1024;
    // Slot 14: see hooks.h.
    MessageHook messageHook;
    // Slot 15: see hooks.h.
    EventHook eventHook;
    // Slot 16: the User-Agent sent; empty sends the program's own.
    std::string userAgent;
    // Slot 17: lets a retry ask only for the rest of the package (an HTTP Range request guarded
    // by If-Range); false starts every retry from the first byte.
    bool resumeOnRetry = true;
    // Slot 18: the file types that may be written, as "|"-separated name endings compared without
    // regard to case. Empty allows every type.
    std::string typeList = ".exe|.rar|.zip|.gif|.jpg|.mp3|.rm";

    // The publisher's Ed25519 public key, as the base64 line that `minisign -P` takes. When it
    // is set, the package must come with "<url>.minisig" signed by that key in the prehashed
    // form ("ED"), and it reaches path only once it matches the signature. Empty: the download
    // fails at once with Unsigned, unless allowUnsigned is set.
    std::string publicKey;
    // With a key, the signature's trusted comment must name the package as space- or
    // tab-separated "key:value" fields, others ignored: "file:" exactly packageName (UTF-8) and
    // "version:" dotted numbers newer than currentVersion, compared part by part (1.4 equals
    // 1.4.0). Without it a signed older release, or any other signed file, could be served as
    // the package. Both must be set when publicKey is.
    std::string packageName;
    std::string currentVersion;
    // Takes a package without any signature check when publicKey is empty.
    bool allowUnsigned = false;
    // The largest package accepted, in bytes: a larger announced length fails at once, a body
    // without one as soon as it passes this; TooLarge, and nothing is kept. 0 or less: no cap.
    int64_t maxBytes = 2147483648;
    // A PEM file of the certificate authorities that https servers are checked against, instead
    // of the system's; empty: the system's. For a private download server, and for tests.
    std::string authorityFile;
};

} // namespace sorvo::download
