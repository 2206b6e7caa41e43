#include "editors/CTaskDetailsPg.h"

#include "editors/KeptText.h"
#include "editors/PageLayout.h"
#include "records/Clock.h"
#include "records/Text.h"
#include "store/RecordStore.h"
#include "ui/UserDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>
#include <utility>

namespace korvane {

using namespace PageLayout;

namespace {

const QString kDateTimeFormat = QStringLiteral("MM/dd/yyyy hh:mm AP");
// Project dates carry the time of day they were entered at; a task may use the whole of the
// project's first and last day.
const QTime kLastMinute(23, 59);

QComboBox* dropDownList(const char* name, const QString& accessible)
{
    auto* combo = named(new QComboBox, name, accessible);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(12);
    return combo;
}

QDateTimeEdit* dateTimeEdit(const char* name, const QString& accessible)
{
    auto* edit = named(new QDateTimeEdit, name, accessible);
    edit->setDisplayFormat(kDateTimeFormat);
    edit->setCalendarPopup(true);
    return edit;
}

QDateTime shownMoment(const DateTime& value, const QDateTime& fallback)
{
    const QDateTime moment = value.toQDateTime();
    return moment.isValid() ? moment : fallback;
}

/** The stored value while the picker shows what it showed at first and that was the stored value. */
DateTime pickedOrStored(const QDateTimeEdit* edit, const QDateTime& shown, bool shownAsStored,
                        const DateTime& stored)
{
    return shownAsStored && edit->dateTime() == shown ? stored : DateTime::fromQDateTime(edit->dateTime());
}

void setRange(QDateTimeEdit* edit, const QDateTime& earliest, const QDateTime& latest)
{
    edit->clearMinimumDateTime();
    edit->clearMaximumDateTime();
    if (earliest.isValid())
        edit->setMinimumDateTime(earliest);
    if (latest.isValid())
        edit->setMaximumDateTime(earliest.isValid() ? std::max(earliest, latest) : latest);
}

} // namespace

CTaskDetailsPg::CTaskDetailsPg(const RecordStore& store, QWidget* parent)
    : QWizardPage(parent)
    , m_store(store)
    , m_projectName(dropDownList("projectNameList", tr("Project Name")))
    , m_projectCode(dropDownList("projectCodeList", tr("Project ID")))
    , m_name(lineEdit("taskName", tr("Task Name")))
    , m_code(lineEdit("taskCode", tr("Task ID")))
    , m_start(dateTimeEdit("taskStart", tr("Start Date")))
    , m_end(dateTimeEdit("taskEnd", tr("End Date")))
    , m_priority(dropDownList("taskPriority", tr("Priority")))
    , m_fileLink(lineEdit("taskFileLink", tr("File Link")))
    , m_fileButton(new QPushButton(QStringLiteral("...")))
    , m_done(new QCheckBox(tr("&Done")))
    , m_completion(lineEdit("taskCompletion", tr("Completion in percent")))
{
    setObjectName(QStringLiteral("taskDetailsPage"));

    m_priority->addItems({tr("High"), tr("Medium"), tr("Low")});
    m_fileLink->setReadOnly(true);
    m_fileButton->setObjectName(QStringLiteral("taskFileLinkButton"));
    m_fileButton->setAccessibleName(tr("Choose the file link"));
    m_fileButton->setToolTip(tr("Choose the file link"));
    m_fileButton->setFixedWidth(36);
    m_done->setObjectName(QStringLiteral("taskDone"));
    m_done->setAccessibleName(tr("Done"));
    m_name->setMinimumWidth(350);
    m_completion->setMaximumWidth(64);
    m_completion->setAlignment(Qt::AlignRight);

    auto* grid = new QGridLayout(addPanel(this, "taskDetailsPanel"));
    grid->setContentsMargins(14, 14, 14, 14);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(8);
    grid->setColumnStretch(1, 1);

    addWideRow(grid, 0, tr("Project Na&me"), m_projectName);
    addWideRow(grid, 1, tr("Project &ID"), m_projectCode);
    grid->setRowMinimumHeight(2, 6);
    addWideRow(grid, 3, tr("&Task Name"), m_name);
    addWideRow(grid, 4, tr("Tas&k ID"), m_code);
    addShortRow(grid, 5, tr("&Start Date"), m_start);
    addShortRow(grid, 6, tr("&End Date"), m_end);
    addShortRow(grid, 7, tr("&Priority"), m_priority);
    addButtonRow(grid, 8, tr("File &Link"), m_fileLink, m_fileButton);
    grid->addWidget(m_done, 9, 1);

    auto* percentSign = new QLabel(QStringLiteral("%"));
    percentSign->setObjectName(QStringLiteral("taskCompletionPercent"));
    auto* completionRow = new QHBoxLayout;
    completionRow->setSpacing(4);
    completionRow->addWidget(m_completion);
    completionRow->addWidget(percentSign);
    completionRow->addStretch(1);
    grid->addWidget(caption(tr("&Completion"), m_completion), 10, 0);
    grid->addLayout(completionRow, 10, 1, 1, 2);
    grid->setRowStretch(11, 1);

    setTabOrder(m_projectName, m_projectCode);
    setTabOrder(m_projectCode, m_name);
    setTabOrder(m_name, m_code);
    setTabOrder(m_code, m_start);
    setTabOrder(m_start, m_end);
    setTabOrder(m_end, m_priority);
    setTabOrder(m_priority, m_fileLink);
    setTabOrder(m_fileLink, m_fileButton);
    setTabOrder(m_fileButton, m_done);
    setTabOrder(m_done, m_completion);

    connect(m_projectName, &QComboBox::activated, this, &CTaskDetailsPg::pickProject);
    connect(m_projectCode, &QComboBox::activated, this, &CTaskDetailsPg::pickProject);
    connect(m_start, &QDateTimeEdit::dateTimeChanged, this, &CTaskDetailsPg::startChanged);
    connect(m_done, &QCheckBox::toggled, m_completion, [this](bool done) { m_completion->setEnabled(!done); });
    connect(m_fileButton, &QPushButton::clicked, this, &CTaskDetailsPg::chooseFile);
}

void CTaskDetailsPg::fillProjects()
{
    const QSignalBlocker blockName(m_projectName);
    const QSignalBlocker blockCode(m_projectCode);
    m_projects.clear();
    m_projectName->clear();
    m_projectCode->clear();
    for (const auto& entry : m_store.projects()) {
        const ProjectRecord& project = entry.record;
        m_projects.append({project.identifier, project.startDate, project.endDate});
        m_projectName->addItem(displayText(project.name));
        m_projectCode->addItem(displayText(project.projectCode));
    }
}

void CTaskDetailsPg::setTask(const TaskRecord& task, bool isNew)
{
    m_loading = true;
    m_task = task;
    m_isNew = isNew;
    m_projectId = task.projectIdentifier;
    m_limited = false;
    m_projectStart = {};
    m_projectEnd = {};
    fillProjects();

    const QDateTime start = shownMoment(task.start, Clock::now());
    const QDateTime end = shownMoment(task.end, start);
    // A new task's moments are only defaults, so they may move into the project; a stored task's may not.
    m_keepStart = isNew ? QDateTime() : start;
    m_keepEnd = isNew ? QDateTime() : end;

    setRange(m_start, {}, {});
    setRange(m_end, {}, {});
    m_start->setDateTime(start);
    m_end->setDateTime(end);
    const QDateTime startAsGiven = m_start->dateTime();
    const QDateTime endAsGiven = m_end->dateTime();

    qsizetype found = -1;
    for (qsizetype i = 0; i < m_projects.size() && found < 0; ++i) {
        if (m_projects[i].identifier == task.projectIdentifier)
            found = i;
    }
    m_projectName->setCurrentIndex(found >= 0 ? int(found) : (m_projects.isEmpty() ? -1 : 0));
    m_projectCode->setCurrentIndex(m_projectName->currentIndex());
    if (found >= 0)
        useProject(m_projects[found]);
    limitStart();
    m_startShown = m_start->dateTime();
    limitEnd(isNew);
    m_endShown = m_end->dateTime();
    m_startAsStored = m_startShown == startAsGiven;
    m_endAsStored = m_endShown == endAsGiven;

    const bool topLevel = task.kind == TaskRecord::kTopLevel;
    m_projectName->setEnabled(topLevel);
    m_projectCode->setEnabled(topLevel);

    for (auto [edit, bytes] : {std::pair{m_name, &task.name}, std::pair{m_code, &task.taskCode},
                               std::pair{m_fileLink, &task.fileLink}}) {
        KeptText::show(edit, *bytes);
        // Long names and paths show their beginning, not their end.
        edit->setCursorPosition(0);
    }
    m_fileLink->setToolTip(m_fileLink->text());
    m_priorityShown = task.priority >= TaskRecord::High && task.priority <= TaskRecord::Low ? task.priority : -1;
    m_priority->setCurrentIndex(m_priorityShown);
    m_doneShown = task.completed != 0;
    m_done->setChecked(m_doneShown);
    m_completion->setEnabled(!m_doneShown);
    m_completionShown = QString::number(task.percentComplete);
    m_completion->setText(m_completionShown);
    m_loading = false;
}

void CTaskDetailsPg::useProject(const ProjectDays& project)
{
    m_projectId = project.identifier;
    m_projectStart = project.start.toQDateTime();
    m_projectEnd = project.end.toQDateTime();
    m_limited = true;
}

QDateTime CTaskDetailsPg::firstMoment() const
{
    return m_limited && m_projectStart.isValid() ? QDateTime(m_projectStart.date(), QTime(0, 0)) : QDateTime();
}

QDateTime CTaskDetailsPg::lastMoment() const
{
    if (!m_limited || !m_projectEnd.isValid())
        return {};
    const QDate last = m_projectStart.isValid() ? std::max(m_projectStart.date(), m_projectEnd.date())
                                                : m_projectEnd.date();
    return QDateTime(last, kLastMinute);
}

void CTaskDetailsPg::limitStart()
{
    QDateTime earliest = firstMoment();
    QDateTime latest = lastMoment();
    if (m_keepStart.isValid()) {
        if (earliest.isValid())
            earliest = std::min(earliest, m_keepStart);
        if (latest.isValid())
            latest = std::max(latest, m_keepStart);
    }
    const QSignalBlocker block(m_start);
    setRange(m_start, earliest, latest);
}

void CTaskDetailsPg::limitEnd(bool correctEnd)
{
    const QDateTime start = m_start->dateTime();
    QDateTime earliest = start;
    QDateTime latest = lastMoment();
    if (m_keepEnd.isValid()) {
        if (latest.isValid())
            latest = std::max(latest, m_keepEnd);
        // A stored end before its start stays until the user moves the start.
        if (start == m_startShown)
            earliest = std::min(earliest, m_keepEnd);
    }
    setRange(m_end, earliest, latest);

    if (correctEnd && m_limited && m_projectStart.isValid()) {
        const QDateTime end = m_end->dateTime();
        if (end.date() == m_projectStart.date() && end.time() < m_projectStart.time())
            m_end->setDateTime(m_projectStart);
    }
}

void CTaskDetailsPg::startChanged()
{
    if (!m_loading)
        limitEnd(true);
}

void CTaskDetailsPg::pickProject(int index)
{
    if (index < 0 || index >= m_projects.size())
        return;
    {
        const QSignalBlocker blockName(m_projectName);
        const QSignalBlocker blockCode(m_projectCode);
        m_projectName->setCurrentIndex(index);
        m_projectCode->setCurrentIndex(index);
    }
    // Picking a project is a request to fit the task into it.
    m_keepStart = {};
    m_keepEnd = {};
    useProject(m_projects[index]);
    limitStart();
    limitEnd(true);
}

void CTaskDetailsPg::chooseFile()
{
    const QString path =
        UserDialogs::openFileName(this, tr("Choose the File Link"), m_fileLink->text(), tr("All Files (*)"));
    if (!path.isEmpty()) {
        m_fileLink->setText(path);
        m_fileLink->setCursorPosition(0);
        m_fileLink->setToolTip(path);
    }
}

std::optional<int> CTaskDetailsPg::completionValue(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok || value < 0 || value > 100)
        return std::nullopt;
    return value;
}

bool CTaskDetailsPg::validatePage()
{
    // A task that is done is stored as 100 percent whatever Completion holds.
    if (m_done->isChecked() || completionValue(m_completion->text()))
        return true;
    UserDialogs::message(this, tr("Please enter a whole number from 0 to 100 for Completion."),
                         UserDialogs::Icon::Warning);
    m_completion->setFocus();
    m_completion->selectAll();
    return false;
}

TaskRecord CTaskDetailsPg::task() const
{
    TaskRecord task = m_task;
    task.projectIdentifier = m_projectId;
    task.name = KeptText::take(m_name);
    task.taskCode = KeptText::take(m_code);
    if (m_priority->currentIndex() >= 0 && m_priority->currentIndex() != m_priorityShown)
        task.priority = m_priority->currentIndex();
    task.start = pickedOrStored(m_start, m_startShown, m_startAsStored, m_task.start);
    task.end = pickedOrStored(m_end, m_endShown, m_endAsStored, m_task.end);

    // The reminder cannot be seen or set here: a stored task keeps its own, a new task's default
    // moment is held within its project's first day and its End Date.
    const QDateTime reminder = m_task.reminderTime.toQDateTime();
    if (m_isNew && m_limited && reminder.isValid()) {
        const QDateTime earliest = firstMoment();
        QDateTime latest = m_end->dateTime();
        if (earliest.isValid())
            latest = std::max(latest, earliest);
        QDateTime limited = std::min(reminder, latest);
        if (earliest.isValid())
            limited = std::max(limited, earliest);
        if (limited != reminder)
            task.reminderTime = DateTime::fromQDateTime(limited);
    }

    task.fileLink = KeptText::take(m_fileLink);
    const bool done = m_done->isChecked();
    if (done != m_doneShown)
        task.completed = done ? 1 : 0;
    if (done) {
        task.percentComplete = 100;
    } else if (m_completion->text() != m_completionShown) {
        if (const std::optional<int> value = completionValue(m_completion->text()))
            task.percentComplete = *value;
    }
    return task;
}

} // namespace korvane
