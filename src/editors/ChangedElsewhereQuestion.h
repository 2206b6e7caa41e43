#pragma once

#include "edits/RecordEdits.h"

#include <QString>
#include <functional>

class QWidget;

namespace korvane {

class RecordStore;

/**
 * What an editor does when its save was refused because a record was changed elsewhere since it was
 * read: the user overwrites it on purpose, or reloads it (what was typed stays in the editor to be
 * applied again by hand), or goes on editing.
 */
class ChangedElsewhereQuestion
{
public:
    /**
     * When `result` is such a refusal, asks; on Overwrite `save` runs again and `result` becomes its
     * outcome. A refusal left in `result` afterwards has been shown: the editor stays open silently.
     * `question` replaces the editors' question after the reason (for a delete, which nothing was typed for).
     */
    static void ask(QWidget* parent, RecordStore& store, EditResult& result,
                    const std::function<EditResult()>& save, const QString& question = {});
};

} // namespace korvane
