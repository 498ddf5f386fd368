#include "config/hosts.h"
#include "update/package_location.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

using namespace sorvo::update;

class PackageLocation : public QObject {
    Q_OBJECT
  private slots:
    void addressCarriesTheFileNameAsPercentEncodedGbk() {
        QCOMPARE(packageUrlOn(QStringLiteral("down.example:8080")),
                 QStringLiteral("http://down.example:8080/download/"
                                "%CB%F7%CE%D6%B5%E7%CC%A8_%C9%FD%BC%B6%B0%FC.exe"));
        QCOMPARE(packageUrlOn(QStringLiteral("127.0.0.1:1")).section(u'/', -1).toLatin1(),
                 QByteArray("%CB%F7%CE%D6%B5%E7%CC%A8_%C9%FD%BC%B6%B0%FC.exe"));
    }

    // A build for https fetches the package, and with it its signature, over https.
    void addressFollowsTheConfiguredScheme() {
        sorvo::hosts().scheme = QStringLiteral("https");
        const QString address = packageUrlOn(QStringLiteral("down.example"));
        sorvo::hosts().scheme = QStringLiteral("http");
        QVERIFY2(address.startsWith(QStringLiteral("https://down.example/download/%CB%F7")),
                 qPrintable(address));
    }

    void packageLandsInsideThePerUserFolder() {
        const QString name = QStringLiteral("索沃电台_升级包.exe");
        QCOMPARE(packagePathIn(QStringLiteral("/home/jo/Downloads/"), QStringLiteral("/tmp"), u'/'),
                 QStringLiteral("/home/jo/Downloads/") + name);
        // A dot in a parent folder's name does not make the folder a file.
        QCOMPARE(packagePathIn(QStringLiteral("/home/jo.li/下载/"), QStringLiteral("/tmp"), u'/'),
                 QStringLiteral("/home/jo.li/下载/") + name);
        QCOMPARE(packagePathIn(QStringLiteral("/home/jo.li/"), QStringLiteral("/tmp"), u'/'),
                 QStringLiteral("/home/jo.li/") + name);
        QCOMPARE(packagePathIn(QStringLiteral("C:\\Users\\jo.li\\Downloads\\"),
                               QStringLiteral("C:\\Temp"), u'\\'),
                 QStringLiteral("C:\\Users\\jo.li\\Downloads\\") + name);
        // Only the native separator counts: on Windows a '/' inside a name is no separator.
        QCOMPARE(packagePathIn(QStringLiteral("C:\\a/b.c\\"), QStringLiteral("C:\\Temp"), u'\\'),
                 QStringLiteral("C:\\a/b.c\\") + name);
    }

    void aFolderWithoutTrailingSeparatorStillGetsOne() {
        QCOMPARE(packagePathIn(QStringLiteral("/home/jo/Downloads"), QStringLiteral("/tmp"), u'/'),
                 QStringLiteral("/home/jo/Downloads/索沃电台_升级包.exe"));
    }

    void aPathThatNamesAFileIsKept() {
        QCOMPARE(
            packagePathIn(QStringLiteral("/home/jo/package.exe"), QStringLiteral("/tmp"), u'/'),
            QStringLiteral("/home/jo/package.exe"));
    }

    void withoutAnyFolderThereIsNoPath() { QCOMPARE(packagePathIn({}, {}, u'/'), QString()); }

    // A download folder that is not the user's alone is passed over for the private one: one
    // that others may write to (the sticky bit keeps nobody from putting the package's name there
    // first), another user's, or a link.
    void aDownloadFolderNotTheUsersAloneIsNotUsed() {
        QTemporaryDir home;
        const QString downloads = home.filePath(QStringLiteral("下载"));
        QVERIFY(QDir().mkpath(downloads) && QDir().mkpath(home.filePath(QStringLiteral("c"))));
        QFile dirs(home.filePath(QStringLiteral("c/user-dirs.dirs")));
        QVERIFY(dirs.open(QIODevice::WriteOnly));
        dirs.write("XDG_DOWNLOAD_DIR=\"" + downloads.toUtf8() + "\"\n");
        dirs.close();
        qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("c")).toUtf8());
        qputenv("XDG_CACHE_HOME", home.filePath(QStringLiteral("cache")).toUtf8());
        const QByteArray native = QFile::encodeName(downloads);
        const auto folderOf = [&](mode_t mode) {
            ::chmod(native.constData(), mode);
            return QFileInfo(packagePathHere()).absolutePath();
        };
        const auto passedOver = [&](const QString& folder) {
            QVERIFY2(folder.startsWith(home.filePath(QStringLiteral("cache"))), qPrintable(folder));
            QCOMPARE(QFileInfo(folder).permissions() & (QFile::WriteGroup | QFile::WriteOther), 0);
        };
        QCOMPARE(folderOf(0755), downloads);
        QCOMPARE(folderOf(0700), downloads);
        for (const mode_t shared : {0775, 0757, 0777, 01777})
            passedOver(folderOf(shared));

        // Only root can give a folder away.
        if (::geteuid() == 0) {
            QCOMPARE(::chown(native.constData(), 65534, 65534), 0);
            passedOver(folderOf(0755));
            QCOMPARE(::chown(native.constData(), 0, 0), 0);
        }

        const QString real = home.filePath(QStringLiteral("real"));
        QVERIFY(QDir().rename(downloads, real));
        QVERIFY(QFile::link(real, downloads));
        passedOver(QFileInfo(packagePathHere()).absolutePath());
    }

    void withoutAFolderTheFallbackFolderIsUsed() {
        QCOMPARE(packagePathIn({}, QStringLiteral("/tmp"), u'/'),
                 QStringLiteral("/tmp/索沃电台_升级包.exe"));
        QCOMPARE(packagePathIn({}, QStringLiteral("/var/tmp/"), u'/'),
                 QStringLiteral("/var/tmp/索沃电台_升级包.exe"));
        QCOMPARE(packagePathIn({}, QStringLiteral("C:\\Users\\jo\\AppData\\Local\\Temp"), u'\\'),
                 QStringLiteral("C:\\Users\\jo\\AppData\\Local\\Temp\\索沃电台_升级包.exe"));
    }
};

QTEST_APPLESS_MAIN(PackageLocation)
#include "unit_package_location.moc"
