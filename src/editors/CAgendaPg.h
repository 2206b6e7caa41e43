#pragma once

#include "editors/MeetingListPage.h"
#include "records/Records.h"

class QTreeWidget;

namespace korvane {

/**
 * The meeting sheet's agenda page: the items of the meeting's agenda file, added, changed and
 * deleted in a list that is written back to the file whenever the page is left by Next.
 */
class CAgendaPg : public MeetingListPageOf<AgendaRecord>
{
    Q_OBJECT

public:
    explicit CAgendaPg(RecordStore& store, QWidget* parent = nullptr);

    /** The list of agenda items (Name and Time columns). */
    QTreeWidget* list() const;

private:
    bool runItemDialog(AgendaRecord& item, bool adding) override;
    void fillList() override;
};

} // namespace korvane
