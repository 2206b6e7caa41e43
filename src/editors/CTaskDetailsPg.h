#pragma once

#include "records/Records.h"

#include <QDateTime>
#include <QList>
#include <QWizardPage>
#include <optional>

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QLineEdit;
class QPushButton;

namespace korvane {

class RecordStore;

/**
 * The first page of the task wizard: the project the task belongs to, its name, code, dates,
 * priority, file link and completion. The dates stay within the chosen project's days.
 */
class CTaskDetailsPg : public QWizardPage
{
    Q_OBJECT

public:
    /** Reads the projects from the store each time a task is shown; never writes to it. */
    explicit CTaskDetailsPg(const RecordStore& store, QWidget* parent = nullptr);

    /**
     * Fills both project lists from the store and shows the task. A new task's dates are moved into
     * its project's days; a stored task opens with its own values, which are kept unless the user
     * changes them (or the project).
     */
    void setTask(const TaskRecord& task, bool isNew);

    /**
     * The task given to setTask with the page's values taken over: fields the user left alone keep
     * their stored bytes; percent complete is 100 whenever Done is checked.
     */
    TaskRecord task() const;

    /** Refuses to leave the page while Completion is not a whole number from 0 to 100. */
    bool validatePage() override;

    /** The project the task belongs to: the one picked, or the task's own when none was picked. */
    QByteArray projectIdentifier() const { return m_projectId; }

    QComboBox* projectNameCombo() const { return m_projectName; }
    QComboBox* projectCodeCombo() const { return m_projectCode; }
    QLineEdit* nameEdit() const { return m_name; }
    QLineEdit* codeEdit() const { return m_code; }
    QDateTimeEdit* startEdit() const { return m_start; }
    QDateTimeEdit* endEdit() const { return m_end; }
    QComboBox* priorityCombo() const { return m_priority; }
    QPushButton* fileLinkButton() const { return m_fileButton; }
    QCheckBox* doneCheck() const { return m_done; }
    QLineEdit* completionEdit() const { return m_completion; }

private:
    struct ProjectDays
    {
        QByteArray identifier;
        DateTime start;
        DateTime end;
    };

    void fillProjects();
    void pickProject(int index);
    void useProject(const ProjectDays& project);
    void limitStart();
    void limitEnd(bool correctEnd);
    void startChanged();
    void chooseFile();
    QDateTime firstMoment() const;
    QDateTime lastMoment() const;
    static std::optional<int> completionValue(const QString& text);

    const RecordStore& m_store;
    TaskRecord m_task;
    bool m_isNew = true;
    QList<ProjectDays> m_projects;

    QByteArray m_projectId;
    /** The chosen project's first and last moment; invalid when that side has no limit. */
    QDateTime m_projectStart;
    QDateTime m_projectEnd;
    bool m_limited = false;
    /** A stored task's own dates, kept selectable so opening never moves them; dropped on a project pick. */
    QDateTime m_keepStart;
    QDateTime m_keepEnd;
    bool m_loading = false;

    /** What the controls showed once the task was set, to tell the user's changes from none. */
    QDateTime m_startShown;
    QDateTime m_endShown;
    bool m_startAsStored = false;
    bool m_endAsStored = false;
    int m_priorityShown = -1;
    bool m_doneShown = false;
    QString m_completionShown;

    QComboBox* m_projectName;
    QComboBox* m_projectCode;
    QLineEdit* m_name;
    QLineEdit* m_code;
    QDateTimeEdit* m_start;
    QDateTimeEdit* m_end;
    QComboBox* m_priority;
    QLineEdit* m_fileLink;
    QPushButton* m_fileButton;
    QCheckBox* m_done;
    QLineEdit* m_completion;
};

} // namespace korvane
