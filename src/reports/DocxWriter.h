#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <vector>

namespace korvane {

/**
 * A word-processing document typed piece by piece, as a user types at the cursor, and saved as an
 * Office Open XML (.docx) file that Word and LibreOffice Writer open.
 *
 * Each piece of text takes the character format current when it is typed; the paragraph format
 * applies to the paragraph being typed, and a new paragraph starts with its predecessor's. In typed
 * text a carriage return, a line feed or the pair of them ends the paragraph, a tab is a tab, a
 * vertical tab is a line break and a form feed a page break; other characters that XML cannot hold
 * are dropped.
 */
class DocxWriter
{
public:
    /** Paragraph alignment, numbered as Word numbers it (0 left, 1 centred, 2 right, 3 justified). */
    enum class Alignment
    {
        Left = 0,
        Center = 1,
        Right = 2,
        Both = 3
    };

    /** The size of Word's default font for a new document, in half-points. */
    static constexpr int kDefaultHalfPoints = 24;
    /** The distance between default tab stops, in twentieths of a point (half an inch). */
    static constexpr int kDefaultTabStop = 720;

    /** The character format of typed text. */
    struct Font
    {
        /** Empty for the document's default font (Times New Roman). */
        QString name;
        /** The size in half-points: 24 is 12 pt, 27 is 13.5 pt. */
        int halfPoints = kDefaultHalfPoints;
        bool bold = false;
        bool allCaps = false;
        bool underline = false;

        friend bool operator==(const Font&, const Font&) = default;
    };

    DocxWriter();

    /** The format that text typed from now on takes; change its members between pieces. */
    Font& font() { return m_font; }
    const Font& font() const { return m_font; }

    /** Aligns the paragraph being typed and those that follow it. */
    void setAlignment(Alignment alignment);
    /** Left tab stops (positions in twentieths of a point) for the paragraph being typed and those that
     * follow. */
    void setTabStops(const QList<int>& positions);

    /** Types text at the cursor in the current format. */
    void typeText(const QString& text);

    /** Inserts an empty table at the cursor and puts the cursor into its first cell. */
    void addTable(int rows, int columns);
    /** Moves the cursor to the next cell of the table, row by row; stays in the last cell at the end. */
    void moveToNextCell();
    /** Moves the cursor out of the table into the paragraph after it. */
    void leaveTable();

    /** The text of word/document.xml. */
    QByteArray documentXml() const;

    /**
     * Writes the .docx file whole through a temporary file that replaces the target only when
     * complete, so a failure never leaves half a document. Returns "" or the reason it failed.
     */
    QString save(const QString& path) const;

    /**
     * The message the program shows when a Word export fails: its fixed text, which names where to ask
     * for help, followed by the reason when there is one.
     */
    static QString exportFailureMessage(const QString& reason);

private:
    using PackagePart = std::pair<QString, QByteArray>;

    /** The parts of the package in the order they are stored: name in the archive, content. */
    QList<PackagePart> packageParts() const;
    /** Packs the parts into a compressed zip archive in memory; false with the reason when libzip refuses. */
    static bool packZip(const QList<PackagePart>& parts, QByteArray& archive, QString& error);

    struct Piece
    {
        enum Kind
        {
            Text,
            Tab,
            LineBreak,
            PageBreak
        } kind = Text;
        QString text;
    };
    struct Run
    {
        Font font;
        std::vector<Piece> pieces;
    };
    struct Paragraph
    {
        Alignment alignment = Alignment::Left;
        QList<int> tabStops;
        /** The format of the paragraph mark: the one current when the paragraph was last typed into or ended.
         */
        Font markFont;
        std::vector<Run> runs;
    };
    struct Table
    {
        /** The body paragraph the table stands before. */
        std::size_t beforeParagraph = 0;
        int rows = 0;
        int columns = 0;
        /** Row by row; each cell holds at least one paragraph. */
        std::vector<std::vector<Paragraph>> cells;
    };

    Paragraph& currentParagraph();
    std::vector<Paragraph>& currentParagraphs();
    void newParagraph();
    void appendPiece(Piece::Kind kind, const QString& text = {});

    void writeParagraph(QByteArray& xml, const Paragraph& paragraph) const;
    void writeTable(QByteArray& xml, const Table& table) const;
    QByteArray stylesXml() const;
    QByteArray settingsXml() const;

    Font m_font;
    /** The body's paragraphs; the cursor is in the last one unless it is in a table. */
    std::vector<Paragraph> m_body;
    std::vector<Table> m_tables;
    /** The table and cell the cursor is in, or -1 when it is in the body. */
    int m_table = -1;
    int m_cell = 0;
    bool m_letterPaper = false;
};

} // namespace korvane
