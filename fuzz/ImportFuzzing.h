#pragma once

#include "FuzzCheck.h"
#include "FuzzFolder.h"

#include "edits/History.h"
#include "integration/ImportBatch.h"
#include "integration/ImportItems.h"
#include "integration/ImportSource.h"
#include "records/RecordCodec.h"
#include "store/RecordStore.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <cstdlib>
#include <ctime>

namespace korvane::fuzz {

/**
 * Fixes the clock and the local time zone, so an input replays the same way on any machine, and
 * keeps no history of the changes: its flushed writes would take most of each input's time, and
 * the history has tests of its own.
 */
inline void setUpImportFuzzing()
{
    History::setKept(false);
    // A zone with daylight saving time, so wall-clock gaps and repeated hours are reached.
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    fixedNow();
}

/** The text with every line end (CR LF, CR or LF) written as LF. */
inline QByteArray lineFeedsOnly(const QByteArray& text)
{
    QByteArray result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            result += text[i];
            continue;
        }
        result += '\n';
        if (i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
    }
    return result;
}

/** True when the date-time is one Korvane can store and show: valid and within the years 100 to 9999. */
inline bool storableTime(const DateTime& value)
{
    const QDateTime shown = value.toQDateTime();
    return value.isValid() && shown.isValid() && shown.date().year() >= 100 && shown.date().year() <= 9999;
}

template <class R> bool sameRecord(const R& a, const R& b)
{
    return encodeRecord(a) == encodeRecord(b);
}

/** The record encodes to bytes that read back to the same record. */
template <class R> void requireRoundTrip(const R& record)
{
    const QByteArray bytes = encodeRecord(record);
    R read = emptyRecord<R>(fixedNow());
    FUZZ_REQUIRE(decodeRecord(bytes, read));
    FUZZ_REQUIRE(encodeRecord(read) == bytes);
}

inline void checkRecord(const ImportRow& row, const ResourceRecord& resource)
{
    FUZZ_REQUIRE(row.text == displayText(resource.name));
}

inline void checkRecord(const ImportRow& row, const TaskRecord& task)
{
    FUZZ_REQUIRE(row.text == displayText(task.name));
    FUZZ_REQUIRE(task.priority >= TaskRecord::High && task.priority <= TaskRecord::Low);
    FUZZ_REQUIRE(task.reminderOn == 0 || task.reminderOn == 1);
    FUZZ_REQUIRE(storableTime(task.start));
    FUZZ_REQUIRE(storableTime(task.end));
    FUZZ_REQUIRE(storableTime(task.reminderTime));
}

inline void checkRecord(const ImportRow& row, const MeetingRecord& meeting)
{
    const QByteArray shown = meeting.place.isEmpty() ? meeting.subject : meeting.subject + " - " + meeting.place;
    FUZZ_REQUIRE(row.text == displayText(shown));
    FUZZ_REQUIRE(storableTime(meeting.start));
    FUZZ_REQUIRE(storableTime(meeting.end));
    // A meeting never ends before it starts. The days are not compared: before 1900 the stored
    // number counts whole days back but the time of day forward, so it does not grow with time.
    FUZZ_REQUIRE(meeting.start.toQDateTime() <= meeting.end.toQDateTime());
}

inline bool sameRows(const QList<ImportRow>& a, const QList<ImportRow>& b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i].text != b[i].text || a[i].record.index() != b[i].record.index())
            return false;
        const bool same = std::visit(
            [&](const auto& record) {
                using R = std::decay_t<decltype(record)>;
                return sameRecord(record, std::get<R>(b[i].record));
            },
            a[i].record);
        if (!same)
            return false;
    }
    return true;
}

/** Adds the first rows to a store in the temporary folder, checks the files it wrote, and removes them again. */
inline void addToStore(const QList<ImportRow>& rows)
{
    static const QString folder = [] {
        const QString path = FuzzFolder::path() + QStringLiteral("/store");
        QDir().mkpath(path);
        return path;
    }();
    // A few rows reach every kind of record; adding hundreds would only write more files.
    const QList<ImportRow> added = rows.mid(0, 3);
    RecordStore store(folder);
    const ImportAddResult result = addImportRows(store, added);
    FUZZ_REQUIRE(result.ok());
    FUZZ_REQUIRE(result.identifiers.size() == added.size());
    for (qsizetype i = 0; i < added.size(); ++i) {
        const QByteArray& identifier = result.identifiers[i];
        std::visit(
            [&](const auto& imported) {
                using R = std::decay_t<decltype(imported)>;
                const R* held = store.records<R>().find(identifier);
                FUZZ_REQUIRE(held);
                R expected = imported;
                expected.identifier = identifier;
                FUZZ_REQUIRE(sameRecord(*held, expected));
                QFile file(store.fileName(KindOf<R>::value, identifier));
                FUZZ_REQUIRE(file.open(QIODevice::ReadOnly));
                R loaded = emptyRecord<R>(fixedNow());
                FUZZ_REQUIRE(decodeRecord(file.readAll(), loaded));
                FUZZ_REQUIRE(sameRecord(loaded, expected));
                QString removed;
                if constexpr (std::is_same_v<R, ResourceRecord>)
                    removed = store.DeleteResource(identifier);
                else if constexpr (std::is_same_v<R, TaskRecord>)
                    removed = store.DeleteTask(identifier);
                else
                    removed = store.DeleteMeeting(identifier);
                FUZZ_REQUIRE(removed.isEmpty());
            },
            added[i].record);
    }
    FUZZ_REQUIRE(QDir(folder).isEmpty());
}

/**
 * Fuzzes an import of the kind as the import dialog runs it: the input is the file, read through
 * ImportSource, and the rows are checked and added to a store. Rules checked on every input:
 * - a file that cannot be read gives an error and no rows;
 * - every row shows its record's name (a meeting's subject and place) and holds the record of the kind;
 * - every record encodes to bytes that read back to the same record; task and meeting times are
 *   valid and within the years 100 to 9999, and a meeting never ends before it starts;
 * - the line ends do not matter: the file with every line end written as LF gives the same rows or error;
 * - the first rows are added to a store, each written to a file that loads back to the row's record.
 */
inline int fuzzImport(ImportKind kind, const std::uint8_t* data, std::size_t size)
{
    static const QByteArray project = "2024051709300000";
    const QByteArray input = inputBytes(data, size);
    const QString name = QStringLiteral("import");
    const QString path = FuzzFolder::put(name, input);
    const ImportReadResult result = ImportSource::read(kind, path, project);
    FUZZ_REQUIRE(result.ok() || result.rows.isEmpty());
    FUZZ_REQUIRE(result.ok() || result.error.startsWith(path + QStringLiteral(": ")));

    const std::size_t wanted = kind == ImportKind::Contacts ? 0 : kind == ImportKind::Tasks ? 1 : 2;
    for (const ImportRow& row : result.rows) {
        FUZZ_REQUIRE(row.checked);
        FUZZ_REQUIRE(row.record.index() == wanted);
        std::visit(
            [&](const auto& record) {
                checkRecord(row, record);
                requireRoundTrip(record);
                if constexpr (!std::is_same_v<std::decay_t<decltype(record)>, ResourceRecord>)
                    FUZZ_REQUIRE(record.projectIdentifier == project);
            },
            row.record);
    }

    const QByteArray text = ImportSource::normalisedText(input);
    if (text.contains('\r')) {
        // The byte order mark keeps the text as it is: the import drops exactly one.
        FuzzFolder::put(name, "\xEF\xBB\xBF" + lineFeedsOnly(text));
        const ImportReadResult again = ImportSource::read(kind, path, project);
        FUZZ_REQUIRE(again.error == result.error);
        FUZZ_REQUIRE(sameRows(again.rows, result.rows));
    }

    if (!result.rows.isEmpty())
        addToStore(result.rows);
    return 0;
}

} // namespace korvane::fuzz
