#include "store/RecordStore.h"

#include "records/Clock.h"
#include "records/RecordCodec.h"
#include "records/TextList.h"
#include "store/SafeFile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <algorithm>

namespace korvane {

namespace {

template <class R>
constexpr bool kHasProjectIndex = std::is_same_v<R, TaskRecord> || std::is_same_v<R, MeetingRecord> ||
                                  std::is_same_v<R, MoneyFlowRecord> || std::is_same_v<R, InvoiceRecord>;

constexpr RecordKind kLoadOrder[] = {RecordKind::Project, RecordKind::Client,    RecordKind::Resource,
                                     RecordKind::Task,    RecordKind::Meeting,   RecordKind::MoneyFlow,
                                     RecordKind::Invoice};

/** The place in the load order of the kind a file name belongs to, or -1 when it names no record file. */
int loadOrderOf(const QString& name)
{
    for (std::size_t k = 0; k < std::size(kLoadOrder); ++k) {
        if (name.endsWith(QLatin1String(kindNames(kLoadOrder[k]).extension), Qt::CaseInsensitive))
            return int(k);
    }
    return -1;
}

/**
 * The record files of the folder by kind, each list ordered byte by byte by name so that every
 * machine loads them alike. The folder is listed once; extensions match in any letter case, as
 * they did on Windows. Folders with a record's name are listed too, so that loading reports them
 * rather than losing the record without a word. The pieces an interrupted atomic save may leave
 * ("<name>.XXXXXX") end in other letters and are passed over.
 */
std::array<QStringList, std::size(kLoadOrder)> listRecordFiles(const QString& folder)
{
    std::array<std::vector<std::pair<QByteArray, QString>>, std::size(kLoadOrder)> keyed;
    QDirIterator it(folder,
                    QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        const int k = loadOrderOf(name);
        if (k >= 0)
            keyed[std::size_t(k)].emplace_back(QFile::encodeName(name), name);
    }
    std::array<QStringList, std::size(kLoadOrder)> lists;
    for (std::size_t k = 0; k < std::size(kLoadOrder); ++k) {
        std::sort(keyed[k].begin(), keyed[k].end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        lists[k].reserve(qsizetype(keyed[k].size()));
        for (auto& entry : keyed[k])
            lists[k].append(entry.second);
    }
    return lists;
}

} // namespace

RecordStore::RecordStore(const QString& workingDirectory) : m_workingDirectory(workingDirectory) {}

QString RecordStore::fileName(RecordKind kind, const QByteArray& identifier) const
{
    const KindNames names = kindNames(kind);
    return m_workingDirectory + QLatin1Char('/') + QLatin1String(names.prefix) +
           QFile::decodeName(identifier.trimmed()) + QLatin1String(names.extension);
}

QString RecordStore::recordFileName(RecordKind kind, const QByteArray& identifier) const
{
    return fileName(kind, identifier).mid(m_workingDirectory.size() + 1);
}

QString RecordStore::fileName(ListFile file, const QByteArray& identifier) const
{
    const KindNames names = listFileNames(file);
    return m_workingDirectory + QLatin1Char('/') + QLatin1String(names.prefix) +
           QFile::decodeName(identifier.trimmed()) + QLatin1String(names.extension);
}

template <class R>
void RecordStore::store(const R& record)
{
    RecordMap<R>& records = map<R>();
    if constexpr (kHasProjectIndex<R>) {
        const auto* previous = records.entry(record.identifier);
        const bool existed = previous != nullptr;
        if constexpr (std::is_same_v<R, TaskRecord>) {
            if (existed)
                countProgress(previous->record, -1);
            countProgress(record, +1);
        }
        const QByteArray previousProject = existed ? previous->record.projectIdentifier : QByteArray();
        const auto& entry = records.insertOrAssign(record.identifier, record);
        auto& index = std::get<ProjectIndex<R>>(m_projectIndexes);
        if (existed && previousProject == record.projectIdentifier)
            return;
        if (existed) {
            auto group = index.find(previousProject);
            if (group != index.end()) {
                group->erase(&entry);
                if (group->empty())
                    index.erase(group);
            }
        }
        index[record.projectIdentifier].insert(&entry);
    } else {
        records.insertOrAssign(record.identifier, record);
    }
}

template <class R>
void RecordStore::unstore(const QByteArray& identifier)
{
    RecordMap<R>& records = map<R>();
    if constexpr (kHasProjectIndex<R>) {
        const auto* entry = records.entry(identifier);
        if (!entry)
            return;
        if constexpr (std::is_same_v<R, TaskRecord>)
            countProgress(entry->record, -1);
        auto& index = std::get<ProjectIndex<R>>(m_projectIndexes);
        auto group = index.find(entry->record.projectIdentifier);
        if (group != index.end()) {
            group->erase(entry);
            if (group->empty())
                index.erase(group);
        }
    }
    records.remove(identifier);
}

template <class R>
QByteArray RecordStore::newIdentifier(int batch)
{
    constexpr RecordKind kind = KindOf<R>::value;
    const RecordMap<R>& records = map<R>();
    auto taken = [&](const QByteArray& id) { return records.contains(id) || QFile::exists(fileName(kind, id)); };

    QDateTime moment = Clock::now();
    QByteArray id = RecordId::make(moment, batch);
    if (!taken(id))
        return id;
    // Busy second: move on from the last identifier handed out, second by second, so that a burst
    // of adds (an import, a generated data set) never probes the same seconds twice.
    QDateTime& last = m_lastIssued[int(kind)];
    if (last.isValid() && last > moment)
        moment = last;
    do {
        moment = moment.addSecs(1);
        id = RecordId::make(moment, batch);
    } while (taken(id));
    last = moment;
    return id;
}

template <class R>
AddResult RecordStore::add(R record, int batch)
{
    record.identifier = newIdentifier<R>(batch);
    const QString error = SafeFile::write(fileName(KindOf<R>::value, record.identifier), encodeRecord(record));
    if (!error.isEmpty())
        return AddResult{{}, error};
    // A load would place the new record by its file name, not first in its bucket as here.
    m_stamps.invalidate();
    store(record);
    return AddResult{record.identifier, {}};
}

bool RecordStore::isUsableIdentifier(const QByteArray& identifier)
{
    // A file name may not leave the data folder, and the Windows program never wrote these bytes.
    return std::none_of(identifier.begin(), identifier.end(),
                        [](char c) { return uchar(c) < 0x20 || c == '/' || c == '\\' || c == 0x7f; });
}

QString RecordStore::unusableIdentifierError(const QByteArray& identifier)
{
    return QStringLiteral("the identifier \"%1\" cannot name a file").arg(QString::fromUtf8(identifier.toPercentEncoding(" ")));
}

template <class R>
QString RecordStore::modify(const R& record)
{
    if (!isUsableIdentifier(record.identifier))
        return unusableIdentifierError(record.identifier);
    const QByteArray bytes = encodeRecord(record);
    const QString error = SafeFile::write(fileName(KindOf<R>::value, record.identifier), bytes);
    if (!error.isEmpty())
        return error;
    // Replacing a record keeps its place, so the maps stay what a load would give; a new one does not.
    if (map<R>().contains(record.identifier))
        m_stamps.noteWritten(recordFileName(KindOf<R>::value, record.identifier), bytes);
    else
        m_stamps.invalidate();
    store(record);
    return error;
}

template <class R>
QString RecordStore::remove(const QByteArray& identifier)
{
    if (!isUsableIdentifier(identifier))
        return map<R>().contains(identifier) ? unusableIdentifierError(identifier) : QString();
    const QString error = SafeFile::remove(fileName(KindOf<R>::value, identifier));
    if (error.isEmpty()) {
        m_stamps.noteRemoved(recordFileName(KindOf<R>::value, identifier));
        unstore<R>(identifier);
    }
    return error;
}

template <class R>
R RecordStore::get(const QByteArray& identifier) const
{
    const R* record = records<R>().find(identifier);
    return record ? *record : emptyRecord<R>();
}

QString RecordStore::DeleteMeeting(const QByteArray& identifier)
{
    QString error = remove<MeetingRecord>(identifier);
    if (!error.isEmpty() || !isUsableIdentifier(identifier))
        return error;
    for (ListFile file : {ListFile::Agenda, ListFile::Action, ListFile::Attendees}) {
        const QString fileError = SafeFile::remove(fileName(file, identifier));
        if (error.isEmpty())
            error = fileError;
    }
    return error;
}

template <class R>
QString RecordStore::deleteAllOfProject(const QByteArray& projectIdentifier)
{
    QList<QByteArray> identifiers;
    for (const R* record : ofProject<R>(projectIdentifier))
        identifiers.append(record->identifier);
    QString firstError;
    for (const QByteArray& identifier : identifiers) {
        QString error;
        if constexpr (std::is_same_v<R, MeetingRecord>)
            error = DeleteMeeting(identifier);
        else
            error = remove<R>(identifier);
        if (firstError.isEmpty())
            firstError = error;
    }
    return firstError;
}

QString RecordStore::DeleteProject(const QByteArray& identifier)
{
    if (!isUsableIdentifier(identifier))
        return projects().contains(identifier) ? unusableIdentifierError(identifier) : QString();
    QString error = SafeFile::remove(fileName(RecordKind::Project, identifier));
    if (!error.isEmpty())
        return error;
    m_stamps.noteRemoved(recordFileName(RecordKind::Project, identifier));
    // From here on the project is gone from disk; every dependent is removed as far as its file
    // allows, and the first failure is reported.
    auto note = [&error](const QString& next) {
        if (error.isEmpty())
            error = next;
    };
    const ProjectRecord* project = projects().find(identifier);
    if (project && !project->clientIdentifier.isEmpty())
        note(DeleteClient(project->clientIdentifier));
    note(SafeFile::remove(fileName(ListFile::ProjectDoc, identifier)));
    note(deleteAllOfProject<TaskRecord>(identifier));
    note(deleteAllOfProject<MeetingRecord>(identifier));
    note(deleteAllOfProject<MoneyFlowRecord>(identifier));
    map<ProjectRecord>().remove(identifier);
    return error;
}

QString RecordStore::DeleteTaskWithSubTasks(const QByteArray& identifier)
{
    const TaskRecord* found = tasks().find(identifier);
    if (!found)
        return DeleteTask(identifier);
    const TaskRecord task = *found;
    QString error = DeleteTask(identifier);
    if (!error.isEmpty())
        return error;

    if (task.isSubTask()) {
        for (const TaskRecord* parent : ofProject<TaskRecord>(task.projectIdentifier)) {
            if (!TextList::contains(parent->subTaskList, identifier))
                continue;
            TaskRecord changed = *parent;
            changed.subTaskList = TextList::remove(changed.subTaskList, identifier);
            return ModifyTask(changed);
        }
        return {};
    }
    for (const QByteArray& subIdentifier : TextList::entries(task.subTaskList)) {
        const TaskRecord* sub = tasks().find(subIdentifier);
        if (!sub || !sub->isSubTask())
            continue;
        const QString subError = DeleteTask(subIdentifier);
        if (error.isEmpty())
            error = subError;
    }
    return error;
}

void RecordStore::countProgress(const TaskRecord& task, int sign)
{
    if (task.priority < TaskRecord::High || task.priority > TaskRecord::Low)
        return;
    const int weight = 3 - task.priority;
    ProgressSums& sums = m_progress[task.projectIdentifier];
    sums.weighted += sign * qint64(weight) * task.percentComplete;
    sums.weight += sign * weight;
    if (sums.weight == 0)
        m_progress.remove(task.projectIdentifier);
}

int RecordStore::weightedProgress(const QByteArray& projectIdentifier) const
{
    // Kept up to date with every task change, so the project list pays one lookup per project.
    const auto found = m_progress.constFind(projectIdentifier);
    if (found == m_progress.cend())
        return 0;
    return int(found->weighted / found->weight);
}

template <class R>
void RecordStore::loadKind(const QStringList& names, const LoadProgress& progress, qsizetype& done,
                           qsizetype total, FolderStamps& stamps)
{
    constexpr RecordKind kind = KindOf<R>::value;
    map<R>().clear();
    if constexpr (kHasProjectIndex<R>)
        std::get<ProjectIndex<R>>(m_projectIndexes).clear();
    if constexpr (std::is_same_v<R, TaskRecord>)
        m_progress.clear();

    const R empty = emptyRecord<R>();
    const QDir dir(m_workingDirectory);
    for (const QString& name : names) {
        // A few hundred calls per load are enough for a progress bar and cost nothing measurable.
        if (progress && (++done % 256 == 0 || done == total))
            progress(done, total);
        const QString path = dir.filePath(name);
        QByteArray bytes;
        QString error;
        if (!SafeFile::read(path, bytes, &error)) {
            m_loadProblems.append({path, error.mid(path.size() + 2)});
            continue;
        }
        stamps.noteContents(name, bytes);
        R record = empty;
        if (!decodeRecord(bytes, record, &error)) {
            m_loadProblems.append({path, error});
            continue;
        }
        if constexpr (kHasProjectIndex<R>) {
            // Thousands of records repeat their project's identifier: share the project's copy.
            if (const auto* project = projects().entry(record.projectIdentifier))
                record.projectIdentifier = project->key;
        }
        if constexpr (std::is_same_v<R, TaskRecord>) {
            static const QByteArray topLevel(TaskRecord::kTopLevel);
            static const QByteArray subTask(TaskRecord::kSubTask);
            if (record.kind == topLevel) {
                record.kind = topLevel;
            } else if (record.kind == subTask) {
                record.kind = subTask;
            } else {
                record.kind = topLevel;
                const QString writeError = isUsableIdentifier(record.identifier)
                                               ? SafeFile::write(fileName(kind, record.identifier), encodeRecord(record))
                                               : unusableIdentifierError(record.identifier);
                if (!writeError.isEmpty())
                    m_loadProblems.append({path, QStringLiteral("its task kind was repaired in memory but not on disk (%1)")
                                                     .arg(writeError)});
            }
        }
        store(record);
    }
}

void RecordStore::LoadAll(const LoadProgress& progress)
{
    if (m_stamps.isValid() && m_stamps.folder() == m_workingDirectory) {
        if (const std::optional<QStringList> changed = m_watch.takeChanges()) {
            QStringList records;
            for (const QString& name : *changed) {
                if (loadOrderOf(name) >= 0)
                    records.append(name);
            }
            if (m_stamps.unchangedFiles(records)) {
                if (progress)
                    progress(m_stamps.size(), m_stamps.size());
                return;
            }
        }
    }
    // Watching starts before the folder is listed, so that no change after the listing goes unseen.
    const bool watched = m_watch.start(m_workingDirectory);
    const auto files = listRecordFiles(m_workingDirectory);
    QStringList names;
    for (const QStringList& kindNames : files)
        names += kindNames;
    const qsizetype total = names.size();
    // Stamped before reading: a file that changes while it is read then differs at the next load.
    FolderStamps stamps = FolderStamps::take(m_workingDirectory, names);
    if (!watched && stamps.unchangedSince(m_stamps)) {
        if (progress)
            progress(total, total);
        return;
    }
    m_stamps = FolderStamps(); // frees the old stamps before the records are read
    m_loadProblems.clear();
    qsizetype done = 0;
    if (progress)
        progress(0, total);
    static_assert(kLoadOrder[0] == RecordKind::Project && kLoadOrder[6] == RecordKind::Invoice);
    loadKind<ProjectRecord>(files[0], progress, done, total, stamps);
    loadKind<ClientRecord>(files[1], progress, done, total, stamps);
    loadKind<ResourceRecord>(files[2], progress, done, total, stamps);
    loadKind<TaskRecord>(files[3], progress, done, total, stamps);
    loadKind<MeetingRecord>(files[4], progress, done, total, stamps);
    loadKind<MoneyFlowRecord>(files[5], progress, done, total, stamps);
    loadKind<InvoiceRecord>(files[6], progress, done, total, stamps);
    m_stamps = std::move(stamps);
}

// The header's per-kind operations call these templates, so every kind gets its copy here.
#define KORVANE_INSTANTIATE_STORE_OPERATIONS(R)                                                              \
    template AddResult RecordStore::add<R>(R, int);                                                           \
    template QString RecordStore::modify<R>(const R&);                                                        \
    template QString RecordStore::remove<R>(const QByteArray&);                                               \
    template R RecordStore::get<R>(const QByteArray&) const;

KORVANE_INSTANTIATE_STORE_OPERATIONS(ProjectRecord)
KORVANE_INSTANTIATE_STORE_OPERATIONS(ClientRecord)
KORVANE_INSTANTIATE_STORE_OPERATIONS(ResourceRecord)
KORVANE_INSTANTIATE_STORE_OPERATIONS(TaskRecord)
KORVANE_INSTANTIATE_STORE_OPERATIONS(MeetingRecord)
KORVANE_INSTANTIATE_STORE_OPERATIONS(MoneyFlowRecord)
KORVANE_INSTANTIATE_STORE_OPERATIONS(InvoiceRecord)

} // namespace korvane
