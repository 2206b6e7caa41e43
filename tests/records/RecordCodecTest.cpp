#include "records/RecordCodec.h"
#include "records/Archive.h"
#include "records/TextList.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

QByteArray hex(const char* digits)
{
    return QByteArray::fromHex(digits);
}

QByteArray textBytes(const QByteArray& text)
{
    ArchiveWriter writer;
    writer.writeText(text);
    return writer.data();
}

/** Encodes a record and reads it back into a record of other values. */
template <class R> void expectRoundTrip(const R& record)
{
    R read = emptyRecord<R>(DateTime{});
    ASSERT_TRUE(decodeRecord(encodeRecord(record), read));
    EXPECT_EQ(read, record);
}

} // namespace

TEST(ArchiveText, LengthPrefixesAtEveryBoundary)
{
    struct Case
    {
        qsizetype length;
        QByteArray prefix;
    };
    const Case cases[] = {
        {0, hex("00")},
        {254, hex("fe")},
        {255, hex("ffff00")},
        {256, hex("ff0001")},
        {65533, hex("fffdff")},
        {65534, hex("ffffffFEFF0000")},
        {70000, hex("ffffff70110100")},
    };
    for (const Case& c : cases) {
        const QByteArray text(c.length, 'x');
        const QByteArray bytes = textBytes(text);
        ASSERT_EQ(bytes.size(), c.prefix.size() + c.length) << c.length;
        EXPECT_EQ(bytes.left(c.prefix.size()).toHex(), c.prefix.toHex()) << c.length;

        ArchiveReader reader(bytes);
        QByteArray read;
        EXPECT_TRUE(reader.readText(read)) << c.length;
        EXPECT_EQ(read, text) << c.length;
        EXPECT_TRUE(reader.atEnd()) << c.length;
    }
}

TEST(ArchiveText, MalformedLengthsFailWithoutReadingPastTheEnd)
{
    const QByteArray inputs[] = {
        hex(""),                 // nothing at all
        hex("05414243"),         // five bytes promised, three given
        hex("ff"),               // 16-bit length cut off
        hex("ffffff"),           // 32-bit length cut off
        hex("ffffffffffffff41"), // four gigabytes promised
        hex("ff1000"),           // sixteen bytes promised, none given
    };
    for (const QByteArray& input : inputs) {
        ArchiveReader reader(input);
        QByteArray read = "unchanged";
        EXPECT_FALSE(reader.readText(read)) << input.toHex().constData();
        EXPECT_EQ(read, "unchanged");
        EXPECT_FALSE(reader.ok());
        // A failed reader stays failed: later fields cannot pick up stray bytes.
        std::int32_t number = 7;
        EXPECT_FALSE(reader.readInt32(number));
        EXPECT_EQ(number, 7);
    }
}

TEST(RecordEncoding, ProjectBytesFollowTheStoredOrder)
{
    ProjectRecord project = emptyRecord<ProjectRecord>(DateTime{DateTime::Valid, 39266.5});
    project.identifier = "2007070314050990";
    project.name = "Bridge";
    project.endDate = DateTime{DateTime::Null, 0.0};
    project.currency = "$";

    QByteArray expected;
    expected += hex("10") + "2007070314050990"; // identifier
    expected += hex("00");                      // client identifier
    expected += hex("06") + "Bridge";
    expected += hex("000000");                             // code, synopsis, end user
    expected += hex("00000000") + hex("00000000502ce340"); // start: valid, 39266.5
    expected += hex("02000000") + hex("0000000000000000"); // end: null
    expected += hex("0000");                               // reserved text 1, file link
    expected += hex("01") + "$";
    expected += hex("000000000000"); // reserved texts 2-4, three links
    EXPECT_EQ(encodeRecord(project).toHex(), expected.toHex());
}

TEST(RecordEncoding, InvoiceIdentifierIsWrittenTwiceAndTheSecondCopyWins)
{
    InvoiceRecord invoice = emptyRecord<InvoiceRecord>(DateTime{});
    invoice.identifier = "2007070314050990";
    invoice.amount = 100.0;
    const QByteArray bytes = encodeRecord(invoice);
    EXPECT_TRUE(bytes.startsWith(hex("10") + "2007070314050990" + hex("10") + "2007070314050990"));

    QByteArray differing = bytes;
    differing[1] = '1'; // first copy now reads 1007...
    InvoiceRecord read = emptyRecord<InvoiceRecord>(DateTime{});
    ASSERT_TRUE(decodeRecord(differing, read));
    EXPECT_EQ(read.identifier, "2007070314050990");
    EXPECT_EQ(read, invoice);
}

TEST(RecordEncoding, ResourceWorkingTextIsNeverStored)
{
    ResourceRecord resource = emptyRecord<ResourceRecord>(DateTime{});
    resource.identifier = "1";
    resource.workingText = "checked";
    resource.name = "Ann";
    const QByteArray bytes = encodeRecord(resource);
    EXPECT_EQ(bytes.toHex(), (hex("0131") + hex("0000") + hex("03") + "Ann" + hex("00000000")).toHex());

    ResourceRecord read = emptyRecord<ResourceRecord>(DateTime{});
    ASSERT_TRUE(decodeRecord(bytes, read));
    EXPECT_TRUE(read.workingText.isEmpty());
    EXPECT_EQ(read.name, "Ann");
}

TEST(RecordEncoding, EveryKindSurvivesASaveAndALoad)
{
    const DateTime valid{DateTime::Valid, 39266.586909722224};
    const DateTime invalid{DateTime::Invalid, 12.25};
    const DateTime null{DateTime::Null, 0.0};

    TaskRecord task = emptyRecord<TaskRecord>(valid);
    task.identifier = "T";
    task.kind = "SubTask";
    task.priority = 2;
    task.end = null;
    task.reminderTime = invalid;
    task.percentComplete = 55;
    task.reservedText2 = QByteArray(300, 'r');
    expectRoundTrip(task);

    MeetingRecord meeting = emptyRecord<MeetingRecord>(valid);
    meeting.identifier = "M";
    meeting.reservedInteger1 = -5;
    meeting.attendees = "Ann\nBob\n";
    expectRoundTrip(meeting);

    MoneyFlowRecord money = emptyRecord<MoneyFlowRecord>(valid);
    money.amount = 1234.5;
    money.taxPercentage = 12.5;
    money.netAmount = 1234.5 - 1234.5 * 12.5 * 0.01;
    money.kind = MoneyFlowRecord::Expense;
    expectRoundTrip(money);

    ClientRecord client = emptyRecord<ClientRecord>(valid);
    client.leadByList = "1\n2\n";
    client.clientName = "Caf\xe9"; // bytes from an old folder stay bytes
    expectRoundTrip(client);

    InvoiceRecord invoice = emptyRecord<InvoiceRecord>(valid);
    invoice.reservedDateTime2 = null;
    invoice.reservedInteger3 = 9;
    invoice.reservedReal1 = -0.125;
    expectRoundTrip(invoice);
}

TEST(RecordEncoding, TruncatedRecordsAreMalformedAtEveryLength)
{
    TaskRecord task = emptyRecord<TaskRecord>(DateTime{});
    task.identifier = "2007070314050990";
    task.name = "Survey";
    const QByteArray bytes = encodeRecord(task);
    for (qsizetype length = 0; length < bytes.size(); ++length) {
        TaskRecord read = emptyRecord<TaskRecord>(DateTime{});
        QString error;
        EXPECT_FALSE(decodeRecord(bytes.left(length), read, &error)) << length;
        EXPECT_FALSE(error.isEmpty());
    }
}

// A stream gives the same record as the whole bytes, asks for nothing past the last field (a file of
// gigabytes after it), and refuses a length the file cannot hold before asking for it.
TEST(RecordEncoding, AStreamIsReadOnlyAsFarAsTheFieldsNeed)
{
    TaskRecord task = emptyRecord<TaskRecord>(DateTime{});
    task.identifier = "2007070314050990";
    task.name = QByteArray(40000, 'd'); // longer than one piece of the stream
    const QByteArray bytes = encodeRecord(task);
    for (const qsizetype trailing : {qsizetype(0), qsizetype(1) << 32}) {
        qsizetype asked = 0;
        ArchiveReader reader(bytes.size() + trailing, [&](QByteArray& buffer, qsizetype count) {
            asked += count;
            const QByteArray piece = bytes.mid(buffer.size(), count);
            buffer += piece + QByteArray(count - piece.size(), '\0'); // zeros past the record
            return true;
        });
        TaskRecord read = emptyRecord<TaskRecord>(DateTime{});
        ASSERT_TRUE(decodeRecord(reader, read));
        EXPECT_EQ(encodeRecord(read), bytes);
        EXPECT_LT(asked, bytes.size() + 16384);
        EXPECT_EQ(reader.taken().left(bytes.size()), bytes);
    }

    const QByteArray claim = hex("ffffff00000010"); // a text of 256 MiB in a file of 1 KiB
    qsizetype asked = 0;
    ArchiveReader reader(1024, [&](QByteArray& buffer, qsizetype count) {
        asked += count;
        const QByteArray piece = claim.mid(buffer.size(), count);
        buffer += piece + QByteArray(count - piece.size(), '\0');
        return true;
    });
    QByteArray text;
    EXPECT_FALSE(reader.readText(text));
    EXPECT_LE(asked, 1024);
}

TEST(ListFiles, AgendaAndActionsKeepTheirItemsInOrder)
{
    const QList<AgendaRecord> agenda{{"Opening", DateTime{0, 39266.375}}, {"Budget", DateTime{2, 0}}};
    const QByteArray agendaBytes = encodeList(agenda);
    EXPECT_TRUE(agendaBytes.startsWith(hex("02000000") + hex("07") + "Opening"));
    QList<AgendaRecord> readAgenda;
    ASSERT_TRUE(decodeList(agendaBytes, readAgenda));
    EXPECT_EQ(readAgenda, agenda);

    const QList<ActionRecord> actions{{"Send minutes", DateTime{0, 39270.0}, "Ann", 1}};
    QList<ActionRecord> readActions;
    ASSERT_TRUE(decodeList(encodeList(actions), readActions));
    EXPECT_EQ(readActions, actions);

    QList<AgendaRecord> empty{{"stale", DateTime{}}};
    ASSERT_TRUE(decodeList(hex("00000000"), empty));
    EXPECT_TRUE(empty.isEmpty());
}

TEST(ListFiles, ImpossibleCountsAreRefusedBeforeAnythingIsReserved)
{
    // The third promises two items and ends after the first one's text and date.
    for (const char* input : {"ffffff7f", "ffffffff", "0200000000000000000000000000000000", ""}) {
        QList<ActionRecord> items{{"kept", DateTime{}, "", 0}};
        EXPECT_FALSE(decodeList(hex(input), items)) << input;
        EXPECT_EQ(items.size(), 1) << "a failed read leaves the list alone";
    }
}

TEST(TextLists, OnlyEntriesEndedByALineFeedCount)
{
    EXPECT_EQ(TextList::entries("a\nb\n"), (QList<QByteArray>{"a", "b"}));
    EXPECT_EQ(TextList::entries("a\nb"), (QList<QByteArray>{"a"}));
    EXPECT_TRUE(TextList::entries("no line feed").isEmpty());
    EXPECT_EQ(TextList::entries("\n\n"), (QList<QByteArray>{"", ""}));
    EXPECT_EQ(TextList::append("a\n", "b"), "a\nb\n");
}

TEST(TextLists, RemovingAnEntryNeverCutsIntoAnother)
{
    EXPECT_EQ(TextList::remove("312\n12\n5\n", "12"), "312\n5\n");
    EXPECT_EQ(TextList::remove("12\n12\ntail", "12"), "tail");
    EXPECT_EQ(TextList::remove("a\nb\n", "c"), "a\nb\n");
}
