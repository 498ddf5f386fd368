#include "platform/platform.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

using sorvo::platform::privateFolder;

namespace {

mode_t modeOf(const QString& path) {
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 07777 : 0;
}

} // namespace

class PrivateFolderTest : public QObject {
    Q_OBJECT

    QTemporaryDir root;

  private slots:
    void aNewFolderIsMadeForTheUserAlone() {
        const QString folder = root.filePath(QStringLiteral("cache/sorvo-radio/upgrade"));
        QCOMPARE(privateFolder(folder), folder);
        QCOMPARE(modeOf(folder), mode_t{0700});
        // Asked again, the same folder answers.
        QCOMPARE(privateFolder(folder), folder);
    }

    void anOpenFolderOfTheUsersIsClosed() {
        const QString folder = root.filePath(QStringLiteral("open"));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0777) == 0);
        QCOMPARE(privateFolder(folder), folder);
        QCOMPARE(modeOf(folder), mode_t{0700});
    }

    // What another user may have put in its place is refused, never followed or adopted.
    void aLinkAFileOrAnotherUsersFolderIsRefused() {
        const QString target = root.filePath(QStringLiteral("target"));
        QVERIFY(QDir().mkpath(target));
        const QString link = root.filePath(QStringLiteral("link"));
        QVERIFY(QFile::link(target, link));
        QCOMPARE(privateFolder(link), QString());

        const QString file = root.filePath(QStringLiteral("file"));
        QFile plain(file);
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        QCOMPARE(privateFolder(file), QString());

        if (::geteuid() != 0) QSKIP("only the superuser can give a folder to another user");
        const QString others = root.filePath(QStringLiteral("others"));
        QVERIFY(QDir().mkpath(others));
        QVERIFY(::chown(QFile::encodeName(others).constData(), 65534, 65534) == 0);
        QCOMPARE(privateFolder(others), QString());
    }
};

QTEST_APPLESS_MAIN(PrivateFolderTest)
#include "unit_private_folder.moc"
