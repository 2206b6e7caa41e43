#pragma once

#include <QIcon>

namespace korvane {

/** What a toolbar button's or menu entry's picture shows: a subject, with an add, modify or delete badge. */
struct ToolbarIcon
{
    enum class Subject
    {
        None,
        Project,
        Task,
        Meeting,
        Payment,
        Login,
        Folder,
        Sync,
        Refresh,
        Help,
        About,
        Print,
        Export,
        StepBack,
        StepForward,
        JumpBack,
        JumpForward,
        Exit,
        Undo,
        Redo,
        History
    };
    enum class Badge
    {
        None,
        Add,
        Modify,
        Delete
    };

    Subject subject = Subject::None;
    Badge badge = Badge::None;
};

/** The picture, drawn at run time so it stays sharp at any size; a null icon for Subject::None. */
QIcon toolbarIcon(ToolbarIcon icon);

} // namespace korvane
