#pragma once

#include <QByteArray>

namespace korvane {

/** How a record editor ended: finished (OK or Finish) or cancelled, and the record it stored. */
struct EditorOutcome
{
    bool finished = false;
    /** The identifier of the record added or modified ("" when cancelled or when storing failed). */
    QByteArray identifier;
};

} // namespace korvane
