#include "records/Records.h"

#include <array>

namespace korvane {

// The tables list the fields in their stored order, named as exports name them.

std::span<const Field<ProjectRecord>> ProjectRecord::fields()
{
    using R = ProjectRecord;
    static const std::array<Field<R>, 17> table{{
        {"identifier", &R::identifier},
        {"client_identifier", &R::clientIdentifier},
        {"name", &R::name},
        {"project_code", &R::projectCode},
        {"synopsis", &R::synopsis},
        {"end_user", &R::endUser},
        {"start_date", &R::startDate},
        {"end_date", &R::endDate},
        {"reserved_text_1", &R::reservedText1},
        {"file_link", &R::fileLink},
        {"currency", &R::currency},
        {"reserved_text_2", &R::reservedText2},
        {"reserved_text_3", &R::reservedText3},
        {"reserved_text_4", &R::reservedText4},
        {"income_link", &R::incomeLink},
        {"expense_link", &R::expenseLink},
        {"turn_over_link", &R::turnOverLink},
    }};
    return table;
}

std::span<const Field<ClientRecord>> ClientRecord::fields()
{
    using R = ClientRecord;
    static const std::array<Field<R>, 8> table{{
        {"identifier", &R::identifier},
        {"client_name", &R::clientName},
        {"contact_person", &R::contactPerson},
        {"address", &R::address},
        {"website", &R::website},
        {"phone_1", &R::phone1},
        {"phone_2", &R::phone2},
        {"lead_by_list", &R::leadByList},
    }};
    return table;
}

std::span<const Field<ResourceRecord>> ResourceRecord::fields()
{
    using R = ResourceRecord;
    static const std::array<Field<R>, 9> table{{
        {"identifier", &R::identifier},
        {"reserved_text_1", &R::reservedText1},
        {"reserved_text_2", &R::reservedText2},
        {"working_text", &R::workingText, false},
        {"name", &R::name},
        {"designation", &R::designation},
        {"department", &R::department},
        {"phone_1", &R::phone1},
        {"phone_2", &R::phone2},
    }};
    return table;
}

std::span<const Field<TaskRecord>> TaskRecord::fields()
{
    using R = TaskRecord;
    static const std::array<Field<R>, 17> table{{
        {"identifier", &R::identifier},
        {"project_identifier", &R::projectIdentifier},
        {"sub_task_list", &R::subTaskList},
        {"kind", &R::kind},
        {"reserved_text_1", &R::reservedText1},
        {"name", &R::name},
        {"task_code", &R::taskCode},
        {"priority", &R::priority},
        {"start", &R::start},
        {"end", &R::end},
        {"reminder_time", &R::reminderTime},
        {"reminder_on", &R::reminderOn},
        {"reserved_text_2", &R::reservedText2},
        {"file_link", &R::fileLink},
        {"resources", &R::resources},
        {"percent_complete", &R::percentComplete},
        {"completed", &R::completed},
    }};
    return table;
}

std::span<const Field<MeetingRecord>> MeetingRecord::fields()
{
    using R = MeetingRecord;
    static const std::array<Field<R>, 12> table{{
        {"identifier", &R::identifier},
        {"project_identifier", &R::projectIdentifier},
        {"client_identifier", &R::clientIdentifier},
        {"subject", &R::subject},
        {"meeting_code", &R::meetingCode},
        {"place", &R::place},
        {"lead", &R::lead},
        {"reserved_integer_1", &R::reservedInteger1},
        {"start", &R::start},
        {"end", &R::end},
        {"notes", &R::notes},
        {"attendees", &R::attendees},
    }};
    return table;
}

std::span<const Field<MoneyFlowRecord>> MoneyFlowRecord::fields()
{
    using R = MoneyFlowRecord;
    static const std::array<Field<R>, 11> table{{
        {"identifier", &R::identifier},
        {"project_identifier", &R::projectIdentifier},
        {"reserved_text_1", &R::reservedText1},
        {"name", &R::name},
        {"amount", &R::amount},
        {"tax_percentage", &R::taxPercentage},
        {"net_amount", &R::netAmount},
        {"transaction_date", &R::transactionDate},
        {"kind", &R::kind},
        {"reserved_text_2", &R::reservedText2},
        {"file_path", &R::filePath},
    }};
    return table;
}

std::span<const Field<InvoiceRecord>> InvoiceRecord::fields()
{
    using R = InvoiceRecord;
    static const std::array<Field<R>, 31> table{{
        {"identifier", &R::identifier},
        {"project_identifier", &R::projectIdentifier},
        {"task", &R::task},
        {"invoice_number", &R::invoiceNumber},
        {"invoice_date", &R::invoiceDate},
        {"addressee", &R::addressee},
        {"signatory", &R::signatory},
        {"reserved_text_1", &R::reservedText1},
        {"signature_image", &R::signatureImage},
        {"subject", &R::subject},
        {"to_address", &R::toAddress},
        {"from_address", &R::fromAddress},
        {"body", &R::body},
        {"amount", &R::amount},
        {"tax_percentage", &R::taxPercentage},
        {"net_amount", &R::netAmount},
        {"amount_in_words", &R::amountInWords},
        {"currency_text", &R::currencyText},
        {"company", &R::company},
        {"reserved_text_2", &R::reservedText2},
        {"reserved_text_3", &R::reservedText3},
        {"reserved_text_4", &R::reservedText4},
        {"reserved_date_time_1", &R::reservedDateTime1},
        {"reserved_date_time_2", &R::reservedDateTime2},
        {"reserved_date_time_3", &R::reservedDateTime3},
        {"reserved_integer_1", &R::reservedInteger1},
        {"reserved_integer_2", &R::reservedInteger2},
        {"reserved_integer_3", &R::reservedInteger3},
        {"reserved_real_1", &R::reservedReal1},
        {"reserved_real_2", &R::reservedReal2},
        {"reserved_real_3", &R::reservedReal3},
    }};
    return table;
}

std::span<const Field<AgendaRecord>> AgendaRecord::fields()
{
    using R = AgendaRecord;
    static const std::array<Field<R>, 2> table{{
        {"name", &R::name},
        {"time", &R::time},
    }};
    return table;
}

std::span<const Field<ActionRecord>> ActionRecord::fields()
{
    using R = ActionRecord;
    static const std::array<Field<R>, 4> table{{
        {"todo", &R::todo},
        {"due_date", &R::dueDate},
        {"who", &R::who},
        {"priority", &R::priority},
    }};
    return table;
}

} // namespace korvane
