#pragma once

#include <QByteArray>
#include <QDateTime>

namespace korvane {

/** Record identifiers: sixteen digits of the local date and time followed by 90, plus a batch number. */
class RecordId
{
public:
    /** The identifier for a moment: YYYYMMDDhhmmss, then "90", then the batch number unless it is -1. */
    static QByteArray make(const QDateTime& moment, int batch = -1);
    /** The bucket (0 to 16) that orders the identifier among the records of its kind. */
    static int bucketOf(const QByteArray& identifier);
};

} // namespace korvane
