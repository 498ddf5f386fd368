#include "update/package_location.h"

#include "config/hosts.h"
#include "platform/platform.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringEncoder>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

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

// Whether folder is a folder of the user's own, itself and not a link to one, that nobody else
// may write to: whoever may write there, or owns the folder, could swap the package between its
// check and its start.
bool theUsersAlone(const QString& folder) {
#ifdef Q_OS_UNIX
    QString path = folder;
    // With a trailing separator, lstat would follow a link.
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0) return false;
    return S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() &&
           (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
#else
    return QFileInfo(folder).isDir();
#endif
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
    if (!theUsersAlone(folder)) folder.clear();
    QString fallback;
    if (folder.isEmpty()) {
        // Named here rather than by the application's name, which is the one listeners read.
        const QString cache =
            QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
        if (!cache.isEmpty())
            fallback = platform::privateFolder(cache + QStringLiteral("/sorvo-radio/upgrade"));
    }
    return packagePathIn(folder, QDir::toNativeSeparators(fallback), platform::pathSeparator());
}

} // namespace sorvo::update
