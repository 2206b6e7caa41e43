// Writes the seed files of the fuzz targets: a few valid files per kind, made by Korvane's own
// writers, including texts with 3-byte (255 bytes and more) and 7-byte (0xFFFE bytes and more)
// length prefixes. Usage: fuzz_make_seeds <folder>, which gets one subfolder per kind.
#include "records/Clock.h"
#include "records/RecordCodec.h"
#include "store/CurrencyList.h"
#include "store/LoginFiles.h"
#include "store/ProjectDocuments.h"
#include "store/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <type_traits>
#include <variant>

using namespace korvane;

namespace {

QString g_root;

// Length of the shortest text that takes a 7-byte prefix.
constexpr qsizetype kSevenBytePrefix = 0xFFFE;

void put(const char* kind, const char* name, const QByteArray& bytes)
{
    const QString folder = g_root + QLatin1Char('/') + QLatin1String(kind);
    QDir().mkpath(folder);
    const QString error = SafeFile::write(folder + QLatin1Char('/') + QLatin1String(name), bytes);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        std::exit(1);
    }
}

DateTime day(int offset)
{
    return DateTime::fromQDateTime(QDateTime(QDate(2024, 3, 1).addDays(offset), QTime(10, 15)));
}

// A long text mixing plain, UTF-8 and Windows-1252 letters, so display decoding sees both.
QByteArray longText(qsizetype length)
{
    const QByteArray pattern = QByteArrayLiteral("Caf\xC3\xA9 r\xE9sum\xE9 line\n");
    QByteArray text;
    while (text.size() < length)
        text += pattern;
    text.truncate(length);
    return text;
}

/** A record with every stored field set to a value named after the field. */
template <class R> R filledRecord()
{
    R record = emptyRecord<R>(day(0));
    int n = 0;
    for (const auto& field : R::fields()) {
        if (!field.stored)
            continue;
        ++n;
        std::visit(
            [&](auto member) {
                using T = std::remove_cvref_t<decltype(record.*member)>;
                if constexpr (std::is_same_v<T, QByteArray>)
                    record.*member = QByteArray(field.name) + ' ' + QByteArray::number(n);
                else if constexpr (std::is_same_v<T, DateTime>)
                    record.*member = day(n);
                else if constexpr (std::is_same_v<T, std::int32_t>)
                    record.*member = n % 3;
                else
                    record.*member = 100.0 + n * 2.5;
            },
            field.member);
    }
    if constexpr (std::is_same_v<R, TaskRecord>)
        record.kind = TaskRecord::kTopLevel;
    return record;
}

/** The record with its last stored text replaced. */
template <class R> R withLastText(R record, const QByteArray& text)
{
    QByteArray R::*last = nullptr;
    for (const auto& field : R::fields()) {
        if (auto member = std::get_if<QByteArray R::*>(&field.member); member && field.stored)
            last = *member;
    }
    record.*last = text;
    return record;
}

/** The record with its date-times alternately invalid and null. */
template <class R> R withUnsetDates(R record)
{
    bool invalid = true;
    for (const auto& field : R::fields()) {
        if (auto member = std::get_if<DateTime R::*>(&field.member)) {
            record.*(*member) = invalid ? DateTime{DateTime::Invalid, 0.0} : DateTime::null();
            invalid = !invalid;
        }
    }
    return record;
}

template <class R> void recordSeeds(const char* kind)
{
    const R filled = filledRecord<R>();
    put(kind, "empty.bin", encodeRecord(emptyRecord<R>(day(0))));
    put(kind, "filled.bin", encodeRecord(filled));
    put(kind, "text-255.bin", encodeRecord(withLastText(filled, longText(255))));
    put(kind, "text-1200.bin", encodeRecord(withLastText(filled, longText(1200))));
    put(kind, "text-65534.bin", encodeRecord(withLastText(filled, longText(kSevenBytePrefix))));
    if (const R unset = withUnsetDates(filled); !(unset == filled))
        put(kind, "unset-dates.bin", encodeRecord(unset));
    if constexpr (std::is_same_v<R, TaskRecord>) {
        R subTask = filled;
        subTask.kind = TaskRecord::kSubTask;
        subTask.subTaskList = "TSK20240301101500\nTSK20240301101501\n";
        put(kind, "sub-task.bin", encodeRecord(subTask));
    }
}

template <class Item> void listSeeds(const char* kind)
{
    QList<Item> items;
    for (int i = 0; i < 3; ++i)
        items.append(filledRecord<Item>());
    put(kind, "empty.bin", encodeList(QList<Item>{}));
    put(kind, "three-items.bin", encodeList(items));
    items[1] = withLastText(items[1], longText(255));
    put(kind, "text-255.bin", encodeList(items));
    items[2] = withLastText(items[2], longText(kSevenBytePrefix));
    put(kind, "text-65534.bin", encodeList(items));
    put(kind, "unset-dates.bin", encodeList(QList<Item>{withUnsetDates(filledRecord<Item>())}));
}

void documentSeeds()
{
    ProjectDocuments documents;
    put("documents", "empty.bin", documents.toBytes());
    documents.row(0) = {"Contract", "", "/home/user/contract.docx"};
    documents.row(1) = {"Drawings", "carried", ""};
    documents.row(4) = {"Name only", "", ""};
    put("documents", "three-rows.bin", documents.toBytes());
    documents.row(9) = {longText(300), "", longText(255)};
    put("documents", "text-255.bin", documents.toBytes());
    documents.row(5) = {"Long path", "", longText(kSevenBytePrefix)};
    put("documents", "text-65534.bin", documents.toBytes());
}

QByteArray fileWithText(const QByteArray& text)
{
    ArchiveWriter writer;
    writer.writeText(text);
    return writer.data();
}

void currencySeeds()
{
    put("currency", "default.bin", fileWithText(CurrencyList::defaultText()));
    put("currency", "empty.bin", fileWithText({}));
    put("currency", "rows.bin", fileWithText("$\nEUR \n  \n\xE2\x82\xAC\nno line feed"));
    put("currency", "text-255.bin", fileWithText(longText(255)));
    put("currency", "text-65534.bin", fileWithText(longText(kSevenBytePrefix)));
}

void loginSeeds()
{
    QTemporaryDir folder;
    LoginFiles files(folder.path());
    const auto readBack = [&] {
        QByteArray bytes;
        SafeFile::read(files.detailsPath(), bytes);
        return bytes;
    };
    files.load(true);
    put("login", "defaults.bin", readBack());
    files.changeLogin("manager", "a longer password than one block", "the usual", "Which town?", "Leeds");
    put("login", "changed.bin", readBack());
    files.changeLogin("m", "", longText(255), "Question", longText(300));
    put("login", "text-255.bin", readBack());
    files.changeLogin("m", "p", "hint", "Question", longText(kSevenBytePrefix));
    put("login", "text-65534.bin", readBack());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    g_root = QString::fromLocal8Bit(argv[1]);
    Clock::setFixed(QDateTime(QDate(2024, 5, 17), QTime(9, 30)));

    recordSeeds<ProjectRecord>("project");
    recordSeeds<ClientRecord>("client");
    recordSeeds<ResourceRecord>("resource");
    recordSeeds<TaskRecord>("task");
    recordSeeds<MeetingRecord>("meeting");
    recordSeeds<MoneyFlowRecord>("moneyflow");
    recordSeeds<InvoiceRecord>("invoice");
    listSeeds<AgendaRecord>("agenda");
    listSeeds<ActionRecord>("action");
    documentSeeds();
    currencySeeds();
    loginSeeds();
    return 0;
}
