// Fuzzes the reader of a project's documents file.
//
// Rules checked on every input:
// - the reader accepts exactly the inputs holding a count and thirty whole texts, and a rejected
//   file gives ten empty rows;
// - reading the file from disk gives what reading its bytes gives, and the stored count is read
//   back as written in the file;
// - accepted rows re-encode to bytes that read back the same; when every length prefix has its
//   shortest form, the re-encoded rows equal the bytes read. The count is not compared: the writer
//   stores the number of rows in use, whatever number the file held.
#include "FuzzCheck.h"
#include "FuzzFolder.h"
#include "LayoutWalk.h"

#include "records/Archive.h"
#include "store/ProjectDocuments.h"

using namespace korvane;
using namespace korvane::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input = inputBytes(data, size);

    bool ok = false;
    const ProjectDocuments documents = ProjectDocuments::fromBytes(input, &ok);

    LayoutWalk walk(input);
    std::int32_t storedCount = 0;
    const bool hasCount = walk.int32(&storedCount);
    for (int i = 0; i < 3 * ProjectDocuments::RowCount; ++i)
        walk.text();
    FUZZ_REQUIRE(ok == walk.ok());

    const QString path = FuzzFolder::put(QStringLiteral("ProjectDoc.doc"), input);
    bool readOk = false;
    FUZZ_REQUIRE(ProjectDocuments::read(path, &readOk) == documents);
    FUZZ_REQUIRE(readOk == ok);
    FUZZ_REQUIRE(ProjectDocuments::readCount(path) == (hasCount ? storedCount : 0));

    if (!ok) {
        FUZZ_REQUIRE(documents == ProjectDocuments{});
        return 0;
    }

    for (const DocumentRow& row : documents.rows()) {
        showText(row.name);
        showText(row.secondText);
        showText(row.path);
    }
    FUZZ_REQUIRE(documents.count() >= 0 && documents.count() <= ProjectDocuments::RowCount);

    const QByteArray encoded = documents.toBytes();
    bool againOk = false;
    FUZZ_REQUIRE(ProjectDocuments::fromBytes(encoded, &againOk) == documents && againOk);
    ArchiveReader countReader(encoded);
    std::int32_t writtenCount = -1;
    FUZZ_REQUIRE(countReader.readInt32(writtenCount) && writtenCount == documents.count());
    if (walk.canonical())
        FUZZ_REQUIRE(encoded.mid(4) == input.mid(4, walk.consumed() - 4));
    return 0;
}
