#include "update/package_location.h"

#include "config/hosts.h"
#include "platform/platform.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringEncoder>

namespace sorvo::update {

namespace {

// GBK bytes where Qt can write GBK (it can wherever it was built with ICU); UTF-8 otherwise, which
// is still a valid address.
QByteArray gbkBytes(const QString& text) {
    QStringEncoder gbk("GBK");
    if (!gbk.isValid()) return text.toUtf8();
    return gbk.encode(text);
}

QString withTrailing(const QString& folder, QChar separator) {
    return folder.endsWith(separator) ? folder : folder + separator;
}

} // namespace

QString packageUrlOn(const QString& host) {
    return webAddress(host + QStringLiteral("/download/") +
                      QString::fromLatin1(gbkBytes(packageFileName).toPercentEncoding()));
}

QString packagePathIn(const QString& folder, const QString& fallbackFolder, QChar separator) {
    if (folder.isEmpty() && fallbackFolder.isEmpty()) return {};
    const QString path = folder.isEmpty() ? withTrailing(fallbackFolder, separator) : folder;
    // A last segment with a dot already names a file; otherwise the path is a folder. Only the
    // last segment counts, so a dot in a parent folder's name changes nothing.
    const QString lastSegment = path.mid(path.lastIndexOf(separator) + 1);
    if (lastSegment.contains(u'.')) return path;
    return withTrailing(path, separator) + packageFileName;
}

QString packagePathHere() {
    QString folder = platform::perUserDownloadFolder();
    if (!QFileInfo(folder).isDir()) folder.clear();
    QString fallback;
    if (folder.isEmpty()) {
        const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
        if (!cache.isEmpty())
            fallback = platform::privateFolder(cache + QStringLiteral("/upgrade"));
    }
    return packagePathIn(folder, QDir::toNativeSeparators(fallback), platform::pathSeparator());
}

} // namespace sorvo::update
