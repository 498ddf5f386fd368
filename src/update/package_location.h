#pragma once

#include <QChar>
#include <QString>

// Where the upgrade package comes from and where it is stored.
namespace sorvo::update {

// The package's file name: the last segment of its path on the download server.
inline const QString packageFileName = QStringLiteral("索沃电台_升级包.exe");

// The package's address on the download server `host` (host[:port]), in the configured scheme.
// The file name travels as percent-encoded GBK bytes, the encoding the download server expects.
QString packageUrlOn(const QString& host);

// The file the package is written to and started from. `folder` is the per-user folder as the
// system gives it, ending with `separator`; when the system has none, `fallbackFolder` is used.
// Empty when there is neither.
QString packagePathIn(const QString& folder, const QString& fallbackFolder, QChar separator);

// The package's file on this machine: in the user's download folder, or, for an account without
// one or with one that is not the user's alone (another user's, a link, one that others may
// write to), in a folder of the program's own that only the user can enter. A folder that
// others share or own (the temporary folder, a group-writable download folder) would let any of
// them prepare or swap the file the update starts.
QString packagePathHere();

} // namespace sorvo::update
