#pragma once

#include <QByteArray>
#include <QString>

namespace korvane {

/** File writes and removals that report their failure instead of failing silently. */
namespace SafeFile {

/**
 * Replaces a file atomically, so a crash or a full disk never leaves half a record behind.
 * Returns an empty text on success, otherwise "<path>: <reason>".
 */
QString write(const QString& path, const QByteArray& data);

/** Removes a file; a file that does not exist is not an error. Returns the error text or "". */
QString remove(const QString& path);

/** Reads a whole file; returns false with the error text ("<path>: <reason>") when it cannot. */
bool read(const QString& path, QByteArray& data, QString* error = nullptr);

} // namespace SafeFile

} // namespace korvane
