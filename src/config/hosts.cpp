#include "config/hosts.h"

#include "sorvo_config.h"

namespace sorvo {

Hosts& hosts() {
    static Hosts configured{
        QString::fromUtf8(config::siteHost),      QString::fromUtf8(config::forumHost),
        QString::fromUtf8(config::downloadHost),  QString::fromUtf8(config::tencentWeiboPath),
        QString::fromUtf8(config::sinaWeiboHost), QString::fromUtf8(config::tencentWeiboHost),
        QString::fromUtf8(config::scheme)};
    return configured;
}

QString webAddress(const QString& hostAndPath) {
    return hosts().scheme + QStringLiteral("://") + hostAndPath;
}

} // namespace sorvo
