#pragma once

#include "records/RecordCodec.h"
#include "records/Records.h"
#include "store/FolderStamps.h"
#include "store/FolderWatch.h"
#include "store/RecordFileListing.h"
#include "store/RecordKind.h"
#include "store/RecordMap.h"
#include "store/SafeFile.h"

#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <algorithm>
#include <array>
#include <functional>
#include <optional>
#include <tuple>
#include <vector>

namespace korvane {

/** What an add hands back: the new identifier, or the reason nothing was stored. */
struct AddResult
{
    QByteArray identifier;
    QString error;

    bool ok() const { return error.isEmpty(); }
};

/** A file that holds a record whose own file holds it too: a sync program's conflict copy, or any duplicate.
 */
struct ConflictCopy
{
    RecordKind kind;
    QByteArray identifier;
    QString path;
};

/** A file that `LoadAll` could not read, or read but found malformed, and so skipped. */
struct LoadProblem
{
    QString path;
    QString reason;
};

/** A record named by its kind and identifier. */
struct RecordKey
{
    RecordKind kind;
    QByteArray identifier;
};

/** What a load that read only a few files again changed in the maps. */
struct LoadChanges
{
    /** The records it changed, added, removed or moved to where a load puts them. */
    QList<RecordKey> records;
    /** The projects whose tasks, meetings, money flow or invoices are among them, before or after. */
    QSet<QByteArray> projects;
};

/**
 * The one owner of all records while the program runs: one map per kind, each entry mirrored by one
 * file in the data folder. Every change is written to disk at once; a change whose file cannot be
 * written returns the reason and leaves the maps as they were, so memory always matches the disk.
 */
class RecordStore
{
public:
    explicit RecordStore(const QString& workingDirectory = {});
    // The project indexes point into the maps, so a store is never copied.
    RecordStore(const RecordStore&) = delete;
    RecordStore& operator=(const RecordStore&) = delete;

    /** The data folder whose files mirror the maps. */
    const QString& workingDirectory() const { return m_workingDirectory; }
    void setWorkingDirectory(const QString& folder) { m_workingDirectory = folder; }

    /** Reports how many of the folder's record files have been read so far, out of how many. */
    using LoadProgress = std::function<void(qsizetype done, qsizetype total)>;

    /**
     * Gives the maps exactly what reading every record file of the data folder gives. After a load
     * of the same folder, when the folder's watch or the files' stamps tell which few record files
     * were added, removed or changed since, and the program's own writes, only those are read again
     * and the rest of the maps is kept; otherwise every map is cleared and every file read.
     */
    void LoadAll(const LoadProgress& progress = {});
    /**
     * Reads only the files of the given records, for a command that needs a few of a large folder:
     * the folder is listed (once) and each record's files are read in name order, so the record is
     * the one a load gives (the later of two files wins), and new identifiers keep clear of every
     * file listed. False when the folder's file names do not tell where the records are (a record
     * file named as no identifier names its file, or holding another identifier than its name); the
     * caller then loads the folder whole. A key with an empty identifier asks only that the names of
     * its kind tell, as they must before identifiers of the kind are issued.
     */
    bool LoadRecords(const QList<RecordKey>& wanted);
    /**
     * Makes loads leave the data folder exactly as it is (for a check): a task kind that a load
     * repairs is then repaired in memory only. Changes the caller asks for are still written.
     */
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }

    /** Counts every change of the maps (and every load), so what is built from them knows when to build
     * again. */
    quint64 generation() const { return m_generation; }
    /**
     * What the last `LoadAll` changed, when it read only the files that changed; nothing when it read
     * the whole folder.
     */
    const std::optional<LoadChanges>& lastLoadChanges() const { return m_lastLoadChanges; }
    /** The files the last `LoadAll` skipped, with the reasons. */
    const QList<LoadProblem>& loadProblems() const { return m_loadProblems; }

    /**
     * The files the last `LoadAll` found holding a record that its own file holds too, ordered by
     * kind and name. The record's own file is the record; these are never read into the maps.
     */
    const QList<ConflictCopy>& conflicts() const { return m_conflicts; }
    /**
     * Moves a record's conflict copies into the "Conflicts" folder of the data folder (never
     * removing one: a name taken there gets a number), and forgets them. Returns "" or the reason.
     */
    QString setConflictCopiesAside(RecordKind kind, const QByteArray& identifier);
    /** The folder inside the data folder that conflict copies are set aside in. */
    QString conflictsFolder() const;

    /**
     * True unless the record's file is no longer what the store last read or wrote: changed, made
     * or removed by another program since. Writes and removals of such a file are refused.
     */
    bool isAsRead(RecordKind kind, const QByteArray& identifier) const;
    /**
     * Reads a record's file again, so that the record is what another program made it; a record
     * whose file is gone stays in the map until the next load. Returns "" or why it cannot be read.
     */
    QString reloadRecord(RecordKind kind, const QByteArray& identifier);
    /**
     * Of the named files of the data folder, the record files another program changed, made or
     * removed since the store read or wrote them (its own writes do not count).
     */
    QStringList filesChangedElsewhere(const QStringList& names) const;
    /**
     * The record files another program changed, made or removed since the store read or wrote them,
     * found by comparing every file's stamp (for a folder that cannot be watched); nothing when the
     * store holds no stamps of this folder to compare with.
     */
    std::optional<QStringList> filesChangedElsewhere() const;
    /** The same, from the record files and stamps `stampRecordFiles` took of the data folder. */
    std::optional<QStringList> filesChangedElsewhere(const QStringList& names, const FolderStamps& now) const;
    /**
     * Lists a folder's record files into `names` and stamps them on as many threads as given, for a
     * store to compare; safe on any thread, as it reads no store.
     */
    static FolderStamps stampRecordFiles(const QString& folder, int threads, QStringList& names);
    /**
     * Notes what an editor read from a meeting's or project's list file (nothing: it was missing), or
     * what a change just wrote into it, so that a write over it changed elsewhere since is refused.
     */
    void noteListContents(ListFile file, const QByteArray& identifier,
                          const std::optional<QByteArray>& bytes);
    /** Notes a list file as an editor reads it now. */
    void noteListRead(ListFile file, const QByteArray& identifier);
    /** True unless the list file is no longer what was noted of it (a file not noted counts as read). */
    bool isListAsRead(ListFile file, const QByteArray& identifier) const;
    /** Lets writes and removals overwrite files changed elsewhere (on purpose, when the user says so). */
    void setOverwriteChanged(bool overwrite) { m_overwriteChanged = overwrite; }
    bool overwritesChanged() const { return m_overwriteChanged; }

    /**
     * Lets `LoadAll` watch the folder (the default) or makes it compare the files' stamps only, as
     * it does where the folder cannot be watched; tests use it to try both ways.
     */
    void setFolderWatched(bool watched);
    /**
     * How many threads read and decode the files of a load (by default one per processor); the
     * records, their order and the skipped files are the same for any number.
     */
    void setLoadThreads(int threads) { m_loadThreads = std::max(1, threads); }
    int loadThreads() const;

    AddResult AddProject(ProjectRecord record) { return add(std::move(record), -1); }
    AddResult AddClient(ClientRecord record) { return add(std::move(record), -1); }
    AddResult AddResource(ResourceRecord record, int batch = -1) { return add(std::move(record), batch); }
    AddResult AddTask(TaskRecord record, int batch = -1) { return add(std::move(record), batch); }
    AddResult AddMeeting(MeetingRecord record, int batch = -1) { return add(std::move(record), batch); }
    AddResult AddMoneyFlow(MoneyFlowRecord record) { return add(std::move(record), -1); }
    AddResult AddInvoice(InvoiceRecord record) { return add(std::move(record), -1); }

    QString ModifyProject(const ProjectRecord& record) { return modify(record); }
    QString ModifyClient(const ClientRecord& record) { return modify(record); }
    QString ModifyResource(const ResourceRecord& record) { return modify(record); }
    QString ModifyTask(const TaskRecord& record) { return modify(record); }
    QString ModifyMeeting(const MeetingRecord& record) { return modify(record); }
    QString ModifyMoneyFlow(const MoneyFlowRecord& record) { return modify(record); }
    QString ModifyInvoice(const InvoiceRecord& record) { return modify(record); }

    // One record's file and entry each; what hangs on a record (a project's tasks, a task's sub
    // tasks, a meeting's lists) is the edit layer's to take along.
    QString DeleteProject(const QByteArray& identifier) { return remove<ProjectRecord>(identifier); }
    QString DeleteClient(const QByteArray& identifier) { return remove<ClientRecord>(identifier); }
    QString DeleteResource(const QByteArray& identifier) { return remove<ResourceRecord>(identifier); }
    QString DeleteTask(const QByteArray& identifier) { return remove<TaskRecord>(identifier); }
    QString DeleteMeeting(const QByteArray& identifier) { return remove<MeetingRecord>(identifier); }
    QString DeleteMoneyFlow(const QByteArray& identifier) { return remove<MoneyFlowRecord>(identifier); }
    QString DeleteInvoice(const QByteArray& identifier) { return remove<InvoiceRecord>(identifier); }

    /**
     * Writes a record's file with exactly these bytes and keeps the record in its map, added or
     * replaced: the one way the edit layer changes a record.
     */
    template <class R> QString putRecord(const R& record, const QByteArray& bytes);
    /** Removes a record's file and its map entry. */
    template <class R> QString eraseRecord(const QByteArray& identifier) { return remove<R>(identifier); }
    /**
     * A new identifier for a record of the kind that no record and no file of the folder uses, nor
     * any of `reserved` (those a change being prepared hands out).
     */
    QByteArray issueIdentifier(RecordKind kind, int batch = -1, const QSet<QByteArray>& reserved = {});

    ProjectRecord GetProject(const QByteArray& identifier) const { return get<ProjectRecord>(identifier); }
    ClientRecord GetClient(const QByteArray& identifier) const { return get<ClientRecord>(identifier); }
    ResourceRecord GetResource(const QByteArray& identifier) const { return get<ResourceRecord>(identifier); }
    TaskRecord GetTask(const QByteArray& identifier) const { return get<TaskRecord>(identifier); }
    MeetingRecord GetMeeting(const QByteArray& identifier) const { return get<MeetingRecord>(identifier); }
    MoneyFlowRecord GetMoneyFlow(const QByteArray& identifier) const
    {
        return get<MoneyFlowRecord>(identifier);
    }
    InvoiceRecord GetInvoice(const QByteArray& identifier) const { return get<InvoiceRecord>(identifier); }

    /** The map of a kind, to walk in enumeration order. */
    template <class R> const RecordMap<R>& records() const { return std::get<RecordMap<R>>(m_maps); }
    const RecordMap<ProjectRecord>& projects() const { return records<ProjectRecord>(); }
    const RecordMap<ClientRecord>& clients() const { return records<ClientRecord>(); }
    const RecordMap<ResourceRecord>& resources() const { return records<ResourceRecord>(); }
    const RecordMap<TaskRecord>& tasks() const { return records<TaskRecord>(); }
    const RecordMap<MeetingRecord>& meetings() const { return records<MeetingRecord>(); }
    const RecordMap<MoneyFlowRecord>& moneyFlows() const { return records<MoneyFlowRecord>(); }
    const RecordMap<InvoiceRecord>& invoices() const { return records<InvoiceRecord>(); }

    /** The records of one project (tasks, meetings, money flow or invoices), in enumeration order. */
    template <class R> std::vector<const R*> ofProject(const QByteArray& projectIdentifier) const;

    /** The project's tasks' percent complete averaged with weights 3, 2, 1 for High, Medium, Low. */
    int weightedProgress(const QByteArray& projectIdentifier) const;

    /** True when the identifier can name a file in the data folder (no separators, no control bytes). */
    static bool isUsableIdentifier(const QByteArray& identifier);

    /** The full path of a record's file. */
    QString fileName(RecordKind kind, const QByteArray& identifier) const;
    /** The full path of a meeting's or project's list file. */
    QString fileName(ListFile file, const QByteArray& identifier) const;

    /**
     * The items of a meeting's agenda or action file, or nothing when the file is missing, is not a
     * file, or is malformed: every page, tree and export treats those alike as "cannot be opened".
     */
    template <class Item>
    std::optional<QList<Item>> readMeetingList(ListFile file, const QByteArray& meetingIdentifier) const;
    /** Reads an agenda or action file as `readMeetingList` does; safe on any thread. */
    template <class Item> static std::optional<QList<Item>> readListFile(const QString& path);

private:
    static QString unusableIdentifierError(const QByteArray& identifier);

    template <class R> using ProjectIndex = QHash<QByteArray, typename RecordMap<R>::OrderedEntries>;

    template <class R> RecordMap<R>& map() { return std::get<RecordMap<R>>(m_maps); }
    template <class R> AddResult add(R record, int batch);
    /** Notes a record file the program wrote, to be read back on the next refresh. */
    template <class R> void noteOwnWrite(const QByteArray& identifier, bool added);
    template <class R> QString modify(const R& record);
    template <class R> QString remove(const QByteArray& identifier);
    template <class R> R get(const QByteArray& identifier) const;
    template <class R> void store(const R& record);
    template <class R> void unstore(const QByteArray& identifier);
    template <class R>
    void loadKind(const QStringList& names, const LoadProgress& progress, qsizetype& done, qsizetype total,
                  FolderStamps& stamps);
    /** A record file read again on a refresh, and what it gives now. */
    template <class R> struct FileChange
    {
        QString path;
        /** The identifier the file's name gives, when it is the name the store itself would use. */
        std::optional<QByteArray> named;
        /** The file's record; nothing when the file is gone or skipped. */
        std::optional<R> record;
        /** Why the file was skipped, as a load lists it. */
        QString problem;
    };
    /** Reads the given files of one kind again; false when their records cannot be placed exactly. */
    template <class R>
    bool readChanges(const QStringList& names, std::vector<FileChange<R>>& changes, FolderStamps& stamps);
    template <class R> void applyChanges(std::vector<FileChange<R>>& changes);
    /** Stores a record read from a file as a load does: shares the project's identifier, repairs the kind. */
    template <class R> void takeRecord(R record, const QString& path);
    /** Notes what the program itself just wrote into a record file, so that it counts as read. */
    void noteWrittenContents(const QString& name, const QByteArray& bytes);
    /** The reason a write or removal of a record file changed elsewhere is refused; "" when it is not. */
    QString refusalOf(RecordKind kind, const QByteArray& identifier) const;
    /** Moves the records stored at the front of their buckets to where a load would put them. */
    template <class R> void placeNewRecords();
    /**
     * Brings the maps up to date by reading only the named record files again, with those the program
     * wrote itself; false, with nothing changed, when that would not give exactly what a load gives.
     */
    bool refreshFiles(const QStringList& names, FolderStamps& stamps);
    /** The names of the record files the maps and the load problems came from. */
    QStringList recordFileNames() const;
    /** Orders the load problems as a load lists them: by kind in load order, then by file name. */
    void sortLoadProblems();
    /** The name of a record's file inside the data folder. */
    QString recordFileName(RecordKind kind, const QByteArray& identifier) const;
    template <class R> QByteArray newIdentifier(int batch, const QSet<QByteArray>& reserved = {});

    QString m_workingDirectory;
    std::tuple<RecordMap<ProjectRecord>, RecordMap<ClientRecord>, RecordMap<ResourceRecord>,
               RecordMap<TaskRecord>, RecordMap<MeetingRecord>, RecordMap<MoneyFlowRecord>,
               RecordMap<InvoiceRecord>>
        m_maps;
    std::tuple<ProjectIndex<TaskRecord>, ProjectIndex<MeetingRecord>, ProjectIndex<MoneyFlowRecord>,
               ProjectIndex<InvoiceRecord>>
        m_projectIndexes;
    /** Per project: the sum of weight x percent complete and the sum of weights of its tasks. */
    struct ProgressSums
    {
        qint64 weighted = 0;
        qint64 weight = 0;
    };
    void countProgress(const TaskRecord& task, int sign);

    QHash<QByteArray, ProgressSums> m_progress;
    QList<LoadProblem> m_loadProblems;
    QList<ConflictCopy> m_conflicts;
    bool m_overwriteChanged = false;
    /** The record files as the last load read them, kept up to date with the store's own writes. */
    FolderStamps m_stamps;
    /** Which files changed since the last load, where the file system tells. */
    FolderWatch m_watch;
    bool m_watchAllowed = true;
    /** 0: one per processor. */
    int m_loadThreads = 0;
    bool m_readOnly = false;
    /** True when every record read came from the file its identifier names, so that names place records. */
    bool m_filesNameTheirRecords = false;
    /** The record files the program wrote since the last load, read back on the next. */
    QSet<QString> m_written;
    /** What the program last wrote into each record file since the stamps were taken: size and checksum. */
    QHash<QString, std::pair<qsizetype, size_t>> m_writtenContents;
    /** Per list file path, size and checksum of what was last read or written (nothing: it was missing). */
    QHash<QString, std::optional<std::pair<qsizetype, size_t>>> m_listContents;
    std::optional<LoadChanges> m_lastLoadChanges;
    /** Per kind in load order, the keys stored at the front of their buckets since the last load. */
    std::array<QSet<QByteArray>, 7> m_unplaced;
    QHash<int, QDateTime> m_lastIssued;
    /** The record files of the kinds `LoadRecords` was asked for, as it listed them. */
    RecordFileListing m_listing;
    quint64 m_generation = 0;
};

template <class Item>
std::optional<QList<Item>> RecordStore::readMeetingList(ListFile file,
                                                        const QByteArray& meetingIdentifier) const
{
    if (!isUsableIdentifier(meetingIdentifier))
        return std::nullopt;
    return readListFile<Item>(fileName(file, meetingIdentifier));
}

template <class Item> std::optional<QList<Item>> RecordStore::readListFile(const QString& path)
{
    QByteArray bytes;
    QList<Item> items;
    // A list file lies in the data folder, which is the folder a link in its place must stay in.
    if (!SafeFile::read(path, bytes) || !decodeList(bytes, items))
        return std::nullopt;
    return items;
}

template <class R> std::vector<const R*> RecordStore::ofProject(const QByteArray& projectIdentifier) const
{
    std::vector<const R*> result;
    const auto& index = std::get<ProjectIndex<R>>(m_projectIndexes);
    const auto found = index.constFind(projectIdentifier);
    if (found == index.cend())
        return result;
    result.reserve(found->size());
    for (const auto* entry : *found)
        result.push_back(&entry->record);
    return result;
}

} // namespace korvane
