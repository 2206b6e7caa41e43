#pragma once

#include "edits/History.h"

#include <QString>
#include <vector>

namespace korvane {

/** One field of a record as a change left it: its value before and after, as the program shows them. */
struct FieldChange
{
    QString field;
    QString before;
    QString after;
};

/** One record or list file a change touched, with the fields that differ (every field when added or deleted).
 */
struct RecordChange
{
    /** `The task "Pour"`, `The agenda of a meeting`. */
    QString caption;
    RecordAction action = RecordAction::Modify;
    std::vector<FieldChange> fields;
};

/** What a kept change did, record by record and field by field, for the History window. */
class ChangeDetails
{
public:
    /** Every file of the entry, in the order the change touched them. */
    static std::vector<RecordChange> of(const HistoryEntry& entry);

    /** "Added", "Changed" or "Deleted". */
    static QString actionCaption(RecordAction action);
};

} // namespace korvane
