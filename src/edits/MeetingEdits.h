#pragma once

#include "edits/Change.h"
#include "edits/RecordEdits.h"

#include <optional>

namespace korvane {

class RecordStore;

/**
 * How a meeting changes with its agenda, action and attendees files: they are written with it and
 * go with it. A new meeting is stored before its sheet opens (its lists are written while the sheet
 * is open) and taken back with them when the sheet is cancelled.
 */
class MeetingEdits
{
public:
    /** Stores an empty meeting of the project, for the Add Meeting sheet to fill in. */
    static EditResult addForSheet(RecordStore& store, const QByteArray& projectIdentifier);
    /** Takes back a meeting stored by `addForSheet` when its sheet is cancelled, with its lists. */
    static EditResult cancelAdded(RecordStore& store, const QByteArray& meetingIdentifier);

    /**
     * Stores a meeting with, when given, the bytes of its agenda and action files, in one change.
     */
    static EditResult modifyMeeting(RecordStore& store, const MeetingRecord& meeting,
                                    const std::optional<QByteArray>& agenda = std::nullopt,
                                    const std::optional<QByteArray>& actions = std::nullopt);
    /** Writes a meeting's agenda or action file whole. */
    static EditResult writeList(RecordStore& store, ListFile file, const QByteArray& meetingIdentifier,
                                const QByteArray& bytes);

    /** Deleting a meeting: its agenda, action and attendees files go with it. */
    static Change removeChange(const RecordStore& store, const QByteArray& identifier);
};

} // namespace korvane
