#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>

namespace korvane {

/** One related document of a project: its display name, a carried-through text and the file's path. */
struct DocumentRow
{
    QByteArray name;
    QByteArray secondText;
    QByteArray path;

    /** True when the row counts as a document: its second text or its path is not empty. */
    bool counts() const { return !secondText.isEmpty() || !path.isEmpty(); }

    friend bool operator==(const DocumentRow&, const DocumentRow&) = default;
};

/** The ten document rows of a project's documents file (or of the scratch copy being edited). */
class ProjectDocuments
{
public:
    static constexpr int RowCount = 10;

    /** Reads a documents file; a missing or damaged file gives ten empty rows and `ok` false. */
    static ProjectDocuments read(const QString& path, bool* ok = nullptr);

    /** Decodes the bytes of a documents file; damaged bytes give ten empty rows and `ok` false. */
    static ProjectDocuments fromBytes(const QByteArray& bytes, bool* ok = nullptr);

    /** The number stored at the start of a documents file, 0 when the file is missing or too short. */
    static std::int32_t readCount(const QString& path);

    /** Writes the empty documents file (count 0 and ten rows of empty texts); returns the error text or "".
     */
    static QString resetScratch(const QString& path);

    /**
     * Copies one documents file over another; a missing source copies nothing and is no error.
     * Returns the error text, empty on success.
     */
    static QString copyFile(const QString& from, const QString& to);

    /** The scratch documents file "ProjectDoc.doc" in the program's folder. */
    static QString scratchPath();

    /** All ten rows, in file order. */
    const std::array<DocumentRow, RowCount>& rows() const { return m_rows; }

    /** One row for changing, 0 to 9. */
    DocumentRow& row(int index) { return m_rows.at(std::size_t(index)); }

    /** The number of rows whose second text or path is not empty. */
    std::int32_t count() const;

    /** The file's bytes: the count, then the ten rows of three texts. */
    QByteArray toBytes() const;

    /** Writes the rows to a file atomically; returns the error text, empty on success. */
    QString write(const QString& path) const;

    friend bool operator==(const ProjectDocuments&, const ProjectDocuments&) = default;

private:
    std::array<DocumentRow, RowCount> m_rows;
};

} // namespace korvane
