#pragma once

#include "records/Records.h"

#include <QString>
#include <optional>

namespace korvane {

/** The seven keyed record kinds, in the order the store loads them. */
enum class RecordKind { Project, Client, Resource, Task, Meeting, MoneyFlow, Invoice };

/** The files that belong to a meeting or project but are not keyed records. */
/** The files beside the records: a meeting's lists, a project's documents, and the shared list of currency
 * formats (in the program's folder, not the data folder). */
enum class ListFile { Agenda, Action, Attendees, ProjectDoc, Currency };

/** How a kind is named in file names and on the command line. */
struct KindNames
{
    const char* prefix;
    const char* extension;
    const char* word;
};

/** The file prefix, extension and command-line word of a kind. */
KindNames kindNames(RecordKind kind);
/** The file prefix and extension of a list file. */
KindNames listFileNames(ListFile file);
/** The kind named by a command-line word ("project", "moneyflow", ...). */
std::optional<RecordKind> kindFromWord(const QString& word);

template <class R>
struct KindOf;
template <>
struct KindOf<ProjectRecord> { static constexpr RecordKind value = RecordKind::Project; };
template <>
struct KindOf<ClientRecord> { static constexpr RecordKind value = RecordKind::Client; };
template <>
struct KindOf<ResourceRecord> { static constexpr RecordKind value = RecordKind::Resource; };
template <>
struct KindOf<TaskRecord> { static constexpr RecordKind value = RecordKind::Task; };
template <>
struct KindOf<MeetingRecord> { static constexpr RecordKind value = RecordKind::Meeting; };
template <>
struct KindOf<MoneyFlowRecord> { static constexpr RecordKind value = RecordKind::MoneyFlow; };
template <>
struct KindOf<InvoiceRecord> { static constexpr RecordKind value = RecordKind::Invoice; };

/** Calls `f` with a default-constructed record of the kind, to dispatch on a kind known at run time. */
template <class F>
decltype(auto) visitKind(RecordKind kind, F&& f)
{
    switch (kind) {
    case RecordKind::Project: return f(ProjectRecord{});
    case RecordKind::Client: return f(ClientRecord{});
    case RecordKind::Resource: return f(ResourceRecord{});
    case RecordKind::Task: return f(TaskRecord{});
    case RecordKind::Meeting: return f(MeetingRecord{});
    case RecordKind::MoneyFlow: return f(MoneyFlowRecord{});
    case RecordKind::Invoice: break;
    }
    return f(InvoiceRecord{});
}

} // namespace korvane
