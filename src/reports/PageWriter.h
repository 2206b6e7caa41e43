#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace korvane {

/** The pages Korvane generates into the program's folder, each rewritten whole when shown. */
enum class PageFile
{
    Details,
    Invoice,
    InvoiceTemp,
    Print
};

/** A generated page: its text, the file it was written to, and why writing failed (empty on success). */
struct PageResult
{
    QString text;
    QString path;
    QString error;

    bool ok() const { return error.isEmpty(); }
};

/** Writes generated pages and places the bitmaps they name ("Images/...") beside them. */
namespace PageWriter {

/** The page's fixed file name ("Details.html", "Invoice.html", "InvoiceTemp.html", "Print.html"). */
QString fileName(PageFile page);

/** The page's full path in the program's folder. */
QString path(PageFile page);

/**
 * Writes the text whole as UTF-8 to the page's file in the program's folder, after placing any
 * bitmap the "Images" folder there lacks; returns the text with the path and any error.
 */
PageResult write(PageFile page, const QString& text);

/** Writes a page already in UTF-8, as `write` does; the result holds the path and any error, not the text. */
PageResult writeUtf8(PageFile page, const QByteArray& bytes);

/** The text as UTF-8, as QString::toUtf8 gives it, in a buffer of the size it needs. */
QByteArray utf8(QStringView text);

/** The names of the bitmaps shipped with the program ("Project.bmp", ...), sorted. */
QStringList shippedBitmaps();

/**
 * Puts every shipped bitmap that the program's "Images" folder lacks into it; files already there
 * are kept, so a user's own pictures win. Returns one line per bitmap that could not be placed.
 */
QStringList placeProgramBitmaps();

/**
 * Copies the named bitmaps into `targetFolder` (created when missing, its parent must exist), each
 * taken from the program's "Images" folder or else from the shipped set; a file already in the
 * target is never replaced. Returns one line per bitmap that could not be copied.
 */
QStringList copyBitmaps(const QStringList& names, const QString& targetFolder);

} // namespace PageWriter

} // namespace korvane
