#pragma once

#include "editors/MeetingListPage.h"
#include "records/Records.h"

class QListWidget;

namespace korvane {

/**
 * The meeting sheet's action page: the to-dos of the meeting's action file, added, changed and
 * deleted in a list that is written back to the file whenever the page is left by Next.
 */
class CActionPg : public MeetingListPageOf<ActionRecord>
{
    Q_OBJECT

public:
    explicit CActionPg(RecordStore& store, QWidget* parent = nullptr);

    /** The list of actions, one two-line row each. */
    QListWidget* list() const;

private:
    ActionRecord newItem() const override;
    bool runItemDialog(ActionRecord& action, bool adding) override;
    void fillList() override;
};

} // namespace korvane
