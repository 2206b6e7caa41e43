#include "reports/DocxWriter.h"

#include "store/SafeFile.h"

#include <QLocale>
#include <zip.h>

namespace korvane {

namespace {

constexpr const char* kXmlDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
constexpr const char* kWordNamespace = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
constexpr const char* kDefaultFont = "Times New Roman";
constexpr const char* kSupportAddress = "support@brisolt.example";

// Page geometry in twentieths of a point.
constexpr int kLetterWidth = 12240;
constexpr int kLetterHeight = 15840;
constexpr int kA4Width = 11906;
constexpr int kA4Height = 16838;
constexpr int kTopBottomMargin = 1440;
constexpr int kLeftRightMargin = 1800;

/** Appends text with the five characters XML gives a meaning escaped. */
void appendEscaped(QByteArray& xml, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    xml.reserve(xml.size() + utf8.size());
    for (const char c : utf8) {
        switch (c) {
        case '&':
            xml += "&amp;";
            break;
        case '<':
            xml += "&lt;";
            break;
        case '>':
            xml += "&gt;";
            break;
        case '"':
            xml += "&quot;";
            break;
        case '\'':
            xml += "&apos;";
            break;
        default:
            xml += c;
        }
    }
}

QByteArray attribute(const QString& value)
{
    QByteArray xml;
    appendEscaped(xml, value);
    return xml;
}

const char* alignmentValue(DocxWriter::Alignment alignment)
{
    switch (alignment) {
    case DocxWriter::Alignment::Center:
        return "center";
    case DocxWriter::Alignment::Right:
        return "right";
    case DocxWriter::Alignment::Both:
        return "both";
    case DocxWriter::Alignment::Left:
        break;
    }
    return "left";
}

void writeRunProperties(QByteArray& xml, const DocxWriter::Font& font)
{
    xml += "<w:rPr>";
    // Children in the order the schema fixes: Word refuses a document that mixes them up.
    if (!font.name.isEmpty()) {
        const QByteArray name = attribute(font.name);
        xml += "<w:rFonts w:ascii=\"" + name + "\" w:hAnsi=\"" + name + "\" w:cs=\"" + name + "\"/>";
    }
    if (font.bold)
        xml += "<w:b/><w:bCs/>";
    if (font.allCaps)
        xml += "<w:caps/>";
    const QByteArray size = QByteArray::number(font.halfPoints);
    xml += "<w:sz w:val=\"" + size + "\"/><w:szCs w:val=\"" + size + "\"/>";
    if (font.underline)
        xml += "<w:u w:val=\"single\"/>";
    xml += "</w:rPr>";
}

/** True for a character that XML 1.0 allows in a document. */
bool allowedInXml(char32_t c)
{
    if (c < 0x20)
        return c == 0x09 || c == 0x0A || c == 0x0D;
    if (c >= 0xD800 && c <= 0xDFFF)
        return false;
    return c != 0xFFFE && c != 0xFFFF && c <= 0x10FFFF;
}

/** Frees libzip's objects on every way out of the packing. */
struct ZipGuard
{
    zip_source_t* buffer = nullptr;
    zip_t* archive = nullptr;
    zip_error_t error;

    ZipGuard() { zip_error_init(&error); }
    ~ZipGuard()
    {
        if (archive)
            zip_discard(archive);
        if (buffer)
            zip_source_free(buffer);
        zip_error_fini(&error);
    }
};

QString zipReason(zip_error_t* error)
{
    return QString::fromLocal8Bit(zip_error_strerror(error));
}

} // namespace

DocxWriter::DocxWriter()
{
    // The paper a new document gets where the user lives: Letter in the United States, A4 elsewhere.
    m_letterPaper = QLocale::system().measurementSystem() == QLocale::ImperialUSSystem;
    m_body.push_back(Paragraph{});
    m_body.back().markFont = m_font;
}

DocxWriter::Paragraph& DocxWriter::currentParagraph()
{
    return currentParagraphs().back();
}

std::vector<DocxWriter::Paragraph>& DocxWriter::currentParagraphs()
{
    if (m_table >= 0)
        return m_tables[std::size_t(m_table)].cells[std::size_t(m_cell)];
    return m_body;
}

void DocxWriter::setAlignment(Alignment alignment)
{
    currentParagraph().alignment = alignment;
}

void DocxWriter::setTabStops(const QList<int>& positions)
{
    currentParagraph().tabStops = positions;
}

void DocxWriter::newParagraph()
{
    Paragraph& ended = currentParagraph();
    ended.markFont = m_font;
    Paragraph next;
    next.alignment = ended.alignment;
    next.tabStops = ended.tabStops;
    next.markFont = m_font;
    currentParagraphs().push_back(std::move(next));
}

void DocxWriter::appendPiece(Piece::Kind kind, const QString& text)
{
    Paragraph& paragraph = currentParagraph();
    paragraph.markFont = m_font;
    if (paragraph.runs.empty() || !(paragraph.runs.back().font == m_font))
        paragraph.runs.push_back(Run{m_font, {}});
    std::vector<Piece>& pieces = paragraph.runs.back().pieces;
    if (kind == Piece::Text && !pieces.empty() && pieces.back().kind == Piece::Text)
        pieces.back().text += text;
    else
        pieces.push_back(Piece{kind, text});
}

void DocxWriter::typeText(const QString& text)
{
    QString pending;
    const auto flush = [&] {
        if (!pending.isEmpty())
            appendPiece(Piece::Text, pending);
        pending.clear();
    };
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        char32_t code = c.unicode();
        qsizetype units = 1;
        if (c.isHighSurrogate() && i + 1 < size && text.at(i + 1).isLowSurrogate()) {
            code = QChar::surrogateToUcs4(c, text.at(i + 1));
            units = 2;
        }
        switch (code) {
        case U'\r':
            if (i + 1 < size && text.at(i + 1) == u'\n')
                ++i;
            [[fallthrough]];
        case U'\n':
            flush();
            newParagraph();
            continue;
        case U'\t':
            flush();
            appendPiece(Piece::Tab);
            continue;
        case U'\v':
            flush();
            appendPiece(Piece::LineBreak);
            continue;
        case U'\f':
            flush();
            appendPiece(Piece::PageBreak);
            continue;
        default:
            break;
        }
        if (allowedInXml(code))
            pending += text.mid(i, units);
        i += units - 1;
    }
    flush();
}

void DocxWriter::addTable(int rows, int columns)
{
    if (rows < 1 || columns < 1)
        return;
    leaveTable();
    if (!currentParagraph().runs.empty())
        newParagraph();
    // The table goes before the empty paragraph the cursor is in, which then follows the table.
    const Paragraph& at = currentParagraph();
    Paragraph first;
    first.alignment = at.alignment;
    first.tabStops = at.tabStops;
    first.markFont = m_font;
    Table table;
    table.beforeParagraph = m_body.size() - 1;
    table.rows = rows;
    table.columns = columns;
    table.cells.assign(std::size_t(rows) * std::size_t(columns), std::vector<Paragraph>{first});
    m_tables.push_back(std::move(table));
    m_table = int(m_tables.size()) - 1;
    m_cell = 0;
}

void DocxWriter::moveToNextCell()
{
    if (m_table < 0)
        return;
    const Table& table = m_tables[std::size_t(m_table)];
    if (m_cell + 1 < table.rows * table.columns)
        ++m_cell;
}

void DocxWriter::leaveTable()
{
    m_table = -1;
    m_cell = 0;
}

void DocxWriter::writeParagraph(QByteArray& xml, const Paragraph& paragraph) const
{
    xml += "<w:p><w:pPr>";
    if (!paragraph.tabStops.isEmpty()) {
        xml += "<w:tabs>";
        for (const int position : paragraph.tabStops)
            xml += "<w:tab w:val=\"left\" w:pos=\"" + QByteArray::number(position) + "\"/>";
        xml += "</w:tabs>";
    }
    xml += "<w:jc w:val=\"";
    xml += alignmentValue(paragraph.alignment);
    xml += "\"/>";
    writeRunProperties(xml, paragraph.markFont);
    xml += "</w:pPr>";
    for (const Run& run : paragraph.runs) {
        xml += "<w:r>";
        writeRunProperties(xml, run.font);
        for (const Piece& piece : run.pieces) {
            switch (piece.kind) {
            case Piece::Text:
                xml += "<w:t xml:space=\"preserve\">";
                appendEscaped(xml, piece.text);
                xml += "</w:t>";
                break;
            case Piece::Tab:
                xml += "<w:tab/>";
                break;
            case Piece::LineBreak:
                xml += "<w:br/>";
                break;
            case Piece::PageBreak:
                xml += "<w:br w:type=\"page\"/>";
                break;
            }
        }
        xml += "</w:r>";
    }
    xml += "</w:p>";
}

void DocxWriter::writeTable(QByteArray& xml, const Table& table) const
{
    const int pageWidth = m_letterPaper ? kLetterWidth : kA4Width;
    const QByteArray cellWidth = QByteArray::number((pageWidth - 2 * kLeftRightMargin) / table.columns);
    const QByteArray border = "w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"auto\"/>";
    xml += "<w:tbl><w:tblPr><w:tblW w:w=\"0\" w:type=\"auto\"/><w:tblBorders>";
    for (const char* side : {"top", "left", "bottom", "right", "insideH", "insideV"})
        xml += QByteArray("<w:") + side + ' ' + border;
    xml += "</w:tblBorders><w:tblLayout w:type=\"fixed\"/><w:tblCellMar><w:left w:w=\"108\" w:type=\"dxa\"/>"
           "<w:right w:w=\"108\" w:type=\"dxa\"/></w:tblCellMar></w:tblPr><w:tblGrid>";
    for (int column = 0; column < table.columns; ++column)
        xml += "<w:gridCol w:w=\"" + cellWidth + "\"/>";
    xml += "</w:tblGrid>";
    for (int row = 0; row < table.rows; ++row) {
        xml += "<w:tr>";
        for (int column = 0; column < table.columns; ++column) {
            xml += "<w:tc><w:tcPr><w:tcW w:w=\"" + cellWidth + "\" w:type=\"dxa\"/></w:tcPr>";
            for (const Paragraph& paragraph : table.cells[std::size_t(row * table.columns + column)])
                writeParagraph(xml, paragraph);
            xml += "</w:tc>";
        }
        xml += "</w:tr>";
    }
    xml += "</w:tbl>";
}

QByteArray DocxWriter::documentXml() const
{
    QByteArray xml = kXmlDeclaration;
    xml += QByteArray("<w:document xmlns:w=\"") + kWordNamespace + "\"><w:body>";
    auto table = m_tables.cbegin();
    for (std::size_t i = 0; i < m_body.size(); ++i) {
        for (; table != m_tables.cend() && table->beforeParagraph == i; ++table)
            writeTable(xml, *table);
        writeParagraph(xml, m_body[i]);
    }
    const int width = m_letterPaper ? kLetterWidth : kA4Width;
    const int height = m_letterPaper ? kLetterHeight : kA4Height;
    xml += "<w:sectPr><w:pgSz w:w=\"" + QByteArray::number(width) + "\" w:h=\"" + QByteArray::number(height) +
           "\"/><w:pgMar w:top=\"" + QByteArray::number(kTopBottomMargin) + "\" w:right=\"" +
           QByteArray::number(kLeftRightMargin) + "\" w:bottom=\"" + QByteArray::number(kTopBottomMargin) +
           "\" w:left=\"" + QByteArray::number(kLeftRightMargin) +
           "\" w:header=\"720\" w:footer=\"720\" w:gutter=\"0\"/></w:sectPr></w:body></w:document>\n";
    return xml;
}

QByteArray DocxWriter::stylesXml() const
{
    QByteArray xml = kXmlDeclaration;
    const QByteArray font = kDefaultFont;
    const QByteArray size = QByteArray::number(kDefaultHalfPoints);
    const QByteArray language = attribute(QLocale::system().bcp47Name());
    xml +=
        QByteArray("<w:styles xmlns:w=\"") + kWordNamespace + "\"><w:docDefaults><w:rPrDefault><w:rPr>" +
        "<w:rFonts w:ascii=\"" + font + "\" w:eastAsia=\"" + font + "\" w:hAnsi=\"" + font + "\" w:cs=\"" +
        font + "\"/><w:sz w:val=\"" + size + "\"/><w:szCs w:val=\"" + size + "\"/><w:lang w:val=\"" +
        language +
        "\"/></w:rPr></w:rPrDefault><w:pPrDefault><w:pPr><w:spacing w:after=\"0\" w:line=\"240\" "
        "w:lineRule=\"auto\"/></w:pPr></w:pPrDefault></w:docDefaults>"
        "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\"><w:name w:val=\"Normal\"/>"
        "<w:qFormat/></w:style>"
        "<w:style w:type=\"table\" w:default=\"1\" w:styleId=\"TableNormal\"><w:name w:val=\"Normal Table\"/>"
        "<w:semiHidden/><w:tblPr><w:tblInd w:w=\"0\" w:type=\"dxa\"/><w:tblCellMar>"
        "<w:top w:w=\"0\" w:type=\"dxa\"/><w:left w:w=\"108\" w:type=\"dxa\"/>"
        "<w:bottom w:w=\"0\" w:type=\"dxa\"/><w:right w:w=\"108\" w:type=\"dxa\"/></w:tblCellMar></w:tblPr>"
        "</w:style></w:styles>\n";
    return xml;
}

QByteArray DocxWriter::settingsXml() const
{
    QByteArray xml = kXmlDeclaration;
    xml += QByteArray("<w:settings xmlns:w=\"") + kWordNamespace + "\"><w:defaultTabStop w:val=\"" +
           QByteArray::number(kDefaultTabStop) + "\"/><w:characterSpacingControl w:val=\"doNotCompress\"/>" +
           "</w:settings>\n";
    return xml;
}

QList<DocxWriter::PackagePart> DocxWriter::packageParts() const
{
    const QByteArray declaration = kXmlDeclaration;
    const QByteArray officeDocument = "application/vnd.openxmlformats-officedocument.wordprocessingml.";
    const QByteArray relationship = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
    QList<PackagePart> parts;
    parts.append({QStringLiteral("[Content_Types].xml"),
                  declaration +
                      "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                      "<Default Extension=\"rels\" "
                      "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                      "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                      "<Override PartName=\"/word/document.xml\" ContentType=\"" +
                      officeDocument +
                      "document.main+xml\"/>"
                      "<Override PartName=\"/word/styles.xml\" ContentType=\"" +
                      officeDocument +
                      "styles+xml\"/>"
                      "<Override PartName=\"/word/settings.xml\" ContentType=\"" +
                      officeDocument +
                      "settings+xml\"/>"
                      "</Types>\n"});
    parts.append({QStringLiteral("_rels/.rels"),
                  declaration +
                      "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                      "<Relationship Id=\"rId1\" Type=\"" +
                      relationship +
                      "officeDocument\" Target=\"word/document.xml\"/>"
                      "</Relationships>\n"});
    parts.append({QStringLiteral("word/_rels/document.xml.rels"),
                  declaration +
                      "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                      "<Relationship Id=\"rId1\" Type=\"" +
                      relationship +
                      "styles\" Target=\"styles.xml\"/>"
                      "<Relationship Id=\"rId2\" Type=\"" +
                      relationship +
                      "settings\" Target=\"settings.xml\"/>"
                      "</Relationships>\n"});
    parts.append({QStringLiteral("word/document.xml"), documentXml()});
    parts.append({QStringLiteral("word/styles.xml"), stylesXml()});
    parts.append({QStringLiteral("word/settings.xml"), settingsXml()});
    return parts;
}

bool DocxWriter::packZip(const QList<PackagePart>& parts, QByteArray& archive, QString& error)
{
    ZipGuard zip;
    zip.buffer = zip_source_buffer_create(nullptr, 0, 0, &zip.error);
    if (!zip.buffer) {
        error = zipReason(&zip.error);
        return false;
    }
    zip.archive = zip_open_from_source(zip.buffer, ZIP_TRUNCATE, &zip.error);
    if (!zip.archive) {
        error = zipReason(&zip.error);
        return false;
    }
    // The archive would free its source on closing; the written bytes are read from it afterwards.
    zip_source_keep(zip.buffer);
    for (const PackagePart& part : parts) {
        zip_source_t* source =
            zip_source_buffer(zip.archive, part.second.constData(), zip_uint64_t(part.second.size()), 0);
        if (!source ||
            zip_file_add(zip.archive, part.first.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8) < 0) {
            if (source)
                zip_source_free(source);
            error = zipReason(zip_get_error(zip.archive));
            return false;
        }
    }
    if (zip_close(zip.archive) < 0) {
        error = zipReason(zip_get_error(zip.archive));
        return false;
    }
    zip.archive = nullptr;

    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_source_stat(zip.buffer, &stat) < 0 || !(stat.valid & ZIP_STAT_SIZE) ||
        zip_source_open(zip.buffer) < 0) {
        error = zipReason(zip_source_error(zip.buffer));
        return false;
    }
    archive.resize(qsizetype(stat.size));
    const zip_int64_t read = zip_source_read(zip.buffer, archive.data(), stat.size);
    zip_source_close(zip.buffer);
    if (read != zip_int64_t(stat.size)) {
        error = QStringLiteral("the packed document could not be read back");
        return false;
    }
    return true;
}

QString DocxWriter::exportFailureMessage(const QString& reason)
{
    // The program's fixed text first, whole; the reason follows it for whoever answers the query.
    QString message =
        QStringLiteral("There was a problem exporting the document to MS Word\nPlease contact %1 for "
                       "further queries.")
            .arg(QLatin1String(kSupportAddress));
    if (!reason.isEmpty())
        message += QStringLiteral("\n\n") + reason;
    return message;
}

QString DocxWriter::save(const QString& path) const
{
    const QList<PackagePart> parts = packageParts();
    QByteArray archive;
    QString error;
    if (!packZip(parts, archive, error))
        return QStringLiteral("%1: %2").arg(path, error);
    return SafeFile::write(path, archive);
}

} // namespace korvane
