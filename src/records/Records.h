#pragma once

#include "records/DateTime.h"

#include <QByteArray>
#include <cstdint>
#include <span>
#include <type_traits>
#include <variant>

namespace korvane {

/** One field of a record kind: its name in exports and where it lives in the structure. */
template <class R>
struct Field
{
    using Member = std::variant<QByteArray R::*, DateTime R::*, std::int32_t R::*, double R::*>;

    const char* name;
    Member member;
    /** False for a field that lives in memory only and is neither written nor read. */
    bool stored = true;
};

/** A project: its name, code, dates, synopsis and the links to its documents. */
struct ProjectRecord
{
    QByteArray identifier;
    QByteArray clientIdentifier;
    QByteArray name;
    QByteArray projectCode;
    QByteArray synopsis;
    QByteArray endUser;
    DateTime startDate;
    DateTime endDate;
    QByteArray reservedText1;
    QByteArray fileLink;
    QByteArray currency;
    QByteArray reservedText2;
    QByteArray reservedText3;
    QByteArray reservedText4;
    QByteArray incomeLink;
    QByteArray expenseLink;
    QByteArray turnOverLink;

    static std::span<const Field<ProjectRecord>> fields();
    friend bool operator==(const ProjectRecord&, const ProjectRecord&) = default;
};

/** The client of one project, with the list of resources that lead the project. */
struct ClientRecord
{
    QByteArray identifier;
    QByteArray clientName;
    QByteArray contactPerson;
    QByteArray address;
    QByteArray website;
    QByteArray phone1;
    QByteArray phone2;
    QByteArray leadByList;

    static std::span<const Field<ClientRecord>> fields();
    friend bool operator==(const ClientRecord&, const ClientRecord&) = default;
};

/** A person who can lead projects and work on tasks; shared between projects. */
struct ResourceRecord
{
    QByteArray identifier;
    QByteArray reservedText1;
    QByteArray reservedText2;
    /** Held in memory only: never written, empty after loading. */
    QByteArray workingText;
    QByteArray name;
    QByteArray designation;
    QByteArray department;
    QByteArray phone1;
    QByteArray phone2;

    static std::span<const Field<ResourceRecord>> fields();
    friend bool operator==(const ResourceRecord&, const ResourceRecord&) = default;
};

/** A task or sub task of a project. */
struct TaskRecord
{
    static constexpr const char* kTopLevel = "NonSubTask";
    static constexpr const char* kSubTask = "SubTask";
    enum Priority : std::int32_t { High = 0, Medium = 1, Low = 2 };

    QByteArray identifier;
    QByteArray projectIdentifier;
    QByteArray subTaskList;
    QByteArray kind;
    QByteArray reservedText1;
    QByteArray name;
    QByteArray taskCode;
    std::int32_t priority = 0;
    DateTime start;
    DateTime end;
    DateTime reminderTime;
    std::int32_t reminderOn = 0;
    QByteArray reservedText2;
    QByteArray fileLink;
    QByteArray resources;
    std::int32_t percentComplete = 0;
    std::int32_t completed = 0;

    bool isSubTask() const { return kind == kSubTask; }

    static std::span<const Field<TaskRecord>> fields();
    friend bool operator==(const TaskRecord&, const TaskRecord&) = default;
};

/** A meeting of a project; its attendees are kept inside it, agenda and actions in list files. */
struct MeetingRecord
{
    QByteArray identifier;
    QByteArray projectIdentifier;
    QByteArray clientIdentifier;
    QByteArray subject;
    QByteArray meetingCode;
    QByteArray place;
    QByteArray lead;
    std::int32_t reservedInteger1 = 0;
    DateTime start;
    DateTime end;
    QByteArray notes;
    QByteArray attendees;

    static std::span<const Field<MeetingRecord>> fields();
    friend bool operator==(const MeetingRecord&, const MeetingRecord&) = default;
};

/** One income or expense entry of a project. */
struct MoneyFlowRecord
{
    enum Kind : std::int32_t { Income = 0, Expense = 1 };

    QByteArray identifier;
    QByteArray projectIdentifier;
    QByteArray reservedText1;
    QByteArray name;
    double amount = 0.0;
    double taxPercentage = 0.0;
    double netAmount = 0.0;
    DateTime transactionDate;
    std::int32_t kind = Income;
    QByteArray reservedText2;
    QByteArray filePath;

    static std::span<const Field<MoneyFlowRecord>> fields();
    friend bool operator==(const MoneyFlowRecord&, const MoneyFlowRecord&) = default;
};

/** An invoice of a project, written as a letter with the amount in words. */
struct InvoiceRecord
{
    QByteArray identifier;
    QByteArray projectIdentifier;
    QByteArray task;
    QByteArray invoiceNumber;
    DateTime invoiceDate;
    QByteArray addressee;
    QByteArray signatory;
    QByteArray reservedText1;
    QByteArray signatureImage;
    QByteArray subject;
    QByteArray toAddress;
    QByteArray fromAddress;
    QByteArray body;
    double amount = 0.0;
    double taxPercentage = 0.0;
    double netAmount = 0.0;
    QByteArray amountInWords;
    QByteArray currencyText;
    QByteArray company;
    QByteArray reservedText2;
    QByteArray reservedText3;
    QByteArray reservedText4;
    DateTime reservedDateTime1;
    DateTime reservedDateTime2;
    DateTime reservedDateTime3;
    std::int32_t reservedInteger1 = 0;
    std::int32_t reservedInteger2 = 0;
    std::int32_t reservedInteger3 = 0;
    double reservedReal1 = 0.0;
    double reservedReal2 = 0.0;
    double reservedReal3 = 0.0;

    static std::span<const Field<InvoiceRecord>> fields();
    friend bool operator==(const InvoiceRecord&, const InvoiceRecord&) = default;
};

/** One item of a meeting's agenda file. */
struct AgendaRecord
{
    QByteArray name;
    DateTime time;

    static std::span<const Field<AgendaRecord>> fields();
    friend bool operator==(const AgendaRecord&, const AgendaRecord&) = default;
};

/** One item of a meeting's action file. */
struct ActionRecord
{
    QByteArray todo;
    DateTime dueDate;
    QByteArray who;
    std::int32_t priority = 0;

    static std::span<const Field<ActionRecord>> fields();
    friend bool operator==(const ActionRecord&, const ActionRecord&) = default;
};

/** Calls `f` once per record kind in the order a data folder is read, with the record type as a tag. */
template <class F> void forEachRecordType(F&& f)
{
    f(std::type_identity<ProjectRecord>{});
    f(std::type_identity<ClientRecord>{});
    f(std::type_identity<ResourceRecord>{});
    f(std::type_identity<TaskRecord>{});
    f(std::type_identity<MeetingRecord>{});
    f(std::type_identity<MoneyFlowRecord>{});
    f(std::type_identity<InvoiceRecord>{});
}

} // namespace korvane
