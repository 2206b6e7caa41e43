#pragma once

#include "records/RecordCodec.h"
#include "records/Records.h"
#include "store/RecordKind.h"

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>
#include <optional>
#include <variant>
#include <vector>

namespace korvane {

/** Any one record, as a change carries it to the store. */
using AnyRecord = std::variant<ProjectRecord, ClientRecord, ResourceRecord, TaskRecord, MeetingRecord,
                               MoneyFlowRecord, InvoiceRecord>;

/** A change made by the user, or the undo or redo of an earlier one. */
enum class ChangeKind { Plain, Undo, Redo };

/** What a change does to one record. */
enum class RecordAction
{
    Add,
    Modify,
    Delete
};

/** One record a change touches: its kind, identifier, project ("" for clients and resources) and action. */
struct TouchedRecord
{
    RecordKind kind;
    QByteArray identifier;
    QByteArray project;
    RecordAction action;

    friend bool operator==(const TouchedRecord&, const TouchedRecord&) = default;
};

/** One file of the data folder: a record's file, or a meeting's or project's list file. */
struct FileRef
{
    std::variant<RecordKind, ListFile> type;
    QByteArray identifier;

    friend bool operator==(const FileRef&, const FileRef&) = default;
    friend size_t qHash(const FileRef& file, size_t seed = 0)
    {
        const int type = std::visit([](auto value) { return int(value); }, file.type);
        return qHashMulti(seed, file.type.index(), type, file.identifier);
    }
};

/** One step of a change: the file gets these bytes (and the record, for a record file), or is removed. */
struct FileStep
{
    FileRef file;
    /** The file's new bytes; nothing when the file is removed. */
    std::optional<QByteArray> bytes;
    /** For a record file that is written: the record the store keeps for it. */
    std::optional<AnyRecord> record;
};

/**
 * One change of the data folder as a value: a description a person can read, the records it
 * touches, and the files it writes or removes in order. Changes are prepared from the store's
 * present state by the edit functions and carried out by `applyChange`, all or nothing.
 */
class Change
{
public:
    explicit Change(QString description = {}) : m_description(std::move(description)) {}

    /** What the change does, for example `Delete Project "Cedar Hill"`. */
    const QString& description() const { return m_description; }
    void setDescription(const QString& description) { m_description = description; }

    /** Writes a record's file (a new record, or a new version of one). */
    template <class R> void put(const R& record, RecordAction action)
    {
        m_steps.push_back(
            {FileRef{KindOf<R>::value, record.identifier}, encodeRecord(record), AnyRecord(record)});
        touch(KindOf<R>::value, record.identifier, projectOf(record), action);
    }
    /** Removes a record's file. */
    template <class R> void erase(const R& record)
    {
        m_steps.push_back({FileRef{KindOf<R>::value, record.identifier}, std::nullopt, std::nullopt});
        touch(KindOf<R>::value, record.identifier, projectOf(record), RecordAction::Delete);
    }
    /** Writes a list file of a meeting or project with these bytes. */
    void putList(ListFile file, const QByteArray& identifier, const QByteArray& bytes);
    /** Removes a list file of a meeting or project. */
    void eraseList(ListFile file, const QByteArray& identifier);
    /** Gives a file these bytes (or removes it when there are none); a record file's record is read from them. */
    void putBytes(const FileRef& file, const std::optional<QByteArray>& bytes);
    /** Notes a record the change touches, where its steps cannot tell (undo, restore). */
    void noteRecord(const TouchedRecord& record)
    {
        touch(record.kind, record.identifier, record.project, record.action);
    }
    /** Adds the steps and records of another change after this one's. */
    void append(const Change& other);

    /** Marks the change as the undo or redo of the history entry `target`. */
    void setKind(ChangeKind kind, const QByteArray& target)
    {
        m_kind = kind;
        m_target = target;
    }
    ChangeKind kind() const { return m_kind; }
    const QByteArray& target() const { return m_target; }

    const std::vector<FileStep>& steps() const { return m_steps; }
    const QList<TouchedRecord>& records() const { return m_records; }
    bool isEmpty() const { return m_steps.empty(); }

    /** The project a record belongs to, "" for kinds that belong to none. */
    template <class R> static QByteArray projectOf(const R& record)
    {
        if constexpr (requires { record.projectIdentifier; })
            return record.projectIdentifier;
        else if constexpr (std::is_same_v<R, ProjectRecord>)
            return record.identifier;
        else
            return {};
    }

private:
    void touch(RecordKind kind, const QByteArray& identifier, const QByteArray& project, RecordAction action);

    QString m_description;
    ChangeKind m_kind = ChangeKind::Plain;
    QByteArray m_target;
    std::vector<FileStep> m_steps;
    QList<TouchedRecord> m_records;
};

/** The readable name of a record's kind in descriptions ("Project", "Sub Task", "Income", ...). */
QString kindCaption(RecordKind kind);

} // namespace korvane
