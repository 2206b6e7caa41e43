#pragma once

#include <QByteArray>
#include <QString>

namespace korvane {

/** File writes and removals that report their failure instead of failing silently. */
namespace SafeFile {

/** The most bytes one file of the data folder is ever read into memory with, far above what any needs. */
inline constexpr qint64 kMostBytesRead = qint64(8) << 20;

/**
 * Replaces a file atomically, so a crash or a full disk never leaves half a record behind. A link
 * standing at the path is replaced by the file, never written through.
 * Returns an empty text on success, otherwise "<path>: <reason>".
 */
QString write(const QString& path, const QByteArray& data);

/**
 * Makes a new file holding the data, flushed to disk (unless flushes are deferred), and fails where
 * anything stands at the path already. Cheaper than `write`, but a crash may leave the file cut
 * off: for files whose readers know a whole one from a cut-off one.
 */
QString create(const QString& path, const QByteArray& data);

/**
 * Makes this thread's writes skip their own flush to disk (while `deferred` is true), for a run of
 * many writes that `flushAll` then makes durable at once. Each write still replaces its file whole.
 */
void deferFlush(bool deferred);

/** Flushes every write of the file system that holds the folder to disk; "" or "<folder>: <reason>". */
QString flushAll(const QString& folder);

/** Removes a file; a file that does not exist is not an error. Returns the error text or "". */
QString remove(const QString& path);

/**
 * Reads a whole regular file of at most `kMostBytesRead` bytes, or a link to one inside `folder`
 * (by default the folder the path lies in); returns false with the error text ("<path>: <reason>")
 * when it cannot.
 */
bool read(const QString& path, QByteArray& data, QString* error = nullptr, const QString& folder = {});

/** True when something, even a link that leads nowhere, stands at the path. */
bool exists(const QString& path);

} // namespace SafeFile

} // namespace korvane
