#pragma once

#include <QByteArray>
#include <QList>

namespace korvane {

/** Lists kept inside texts: every entry followed by a line feed; text after the last one is no entry. */
namespace TextList {

/** The entries of a list text, in order; only those that a line feed ends. */
QList<QByteArray> entries(const QByteArray& list);
/** True when the list holds the entry exactly. */
bool contains(const QByteArray& list, const QByteArray& entry);
/** The list with entry + line feed appended. */
QByteArray append(const QByteArray& list, const QByteArray& entry);
/** The list without the entries equal to `entry`; other entries and any unended tail stay as they were. */
QByteArray remove(const QByteArray& list, const QByteArray& entry);

} // namespace TextList

} // namespace korvane
