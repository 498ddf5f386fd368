#pragma once

#include <QString>

namespace sorvo {

// Where the client's web addresses point. The values are fixed when the client is built (the
// SORVO_* CMake variables); tests may point them at their own loopback servers in-process.
struct Hosts {
    QString site;             // product web site, host[:port]
    QString forum;            // product forum, host[:port]
    QString download;         // download server, host[:port]
    QString tencentWeiboPath; // the product's account page on the Tencent microblog service
    QString sinaWeibo;        // Sina microblog service, host[:port]
    QString tencentWeibo;     // Tencent microblog service, host[:port]
    QString scheme;           // "http" or "https", for every address on the hosts above
};

Hosts& hosts();

// The address of `hostAndPath` (a host above, with any port, followed by a path) in the
// configured scheme.
QString webAddress(const QString& hostAndPath);

} // namespace sorvo
