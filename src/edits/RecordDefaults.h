#pragma once

#include "records/Records.h"

#include <QByteArray>
#include <QString>

namespace korvane {

struct DocumentRow;

/**
 * The texts an editor stores in place of empty fields ("Untitled", "Unknown", "UnTitled", "###",
 * "***", "0"). Editors call these on OK; the command line stores what it is given.
 */
namespace RecordDefaults {

void fill(ProjectRecord& project);
void fill(ClientRecord& client);
void fill(ResourceRecord& resource);
void fill(TaskRecord& task);
void fill(MeetingRecord& meeting);
void fill(AgendaRecord& item);
void fill(ActionRecord& item);
void fill(DocumentRow& row);

/** A money flow entry's or invoice's task name as stored: the text trimmed, "UnTitled" when empty. */
QByteArray taskName(const QString& typed);
/** A typed text trimmed, or `fallback` when nothing is left. */
QByteArray trimmedOr(const QString& typed, const char* fallback);

} // namespace RecordDefaults

} // namespace korvane
