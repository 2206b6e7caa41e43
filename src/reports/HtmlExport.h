#pragma once

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <QStringList>

namespace korvane {

class RecordStore;

/** A project or an invoice written as a stand-alone HTML file with its pictures beside it. */
class HtmlExport
{
public:
    /** The outcome of an export: why the file was not written (empty on success), and pictures not copied. */
    struct Result
    {
        QString error;
        QStringList skippedImages;

        bool ok() const { return error.isEmpty(); }
    };

    /** The export page of a project; an unknown project gives the "No Project Is Selected" page. */
    static QString projectText(const RecordStore& store, const QByteArray& projectIdentifier,
                               const QLocale& locale = QLocale::system());

    /** The bitmaps copied beside an exported project, in the order they are copied. */
    static const QStringList& projectImages();

    /**
     * Writes the project's export page to `file`, then copies the bitmaps of projectImages() into
     * an "Images" folder beside it; bitmaps already there are kept.
     */
    static Result exportProject(const RecordStore& store, const QByteArray& projectIdentifier,
                                const QString& file, const QLocale& locale = QLocale::system());

    /**
     * Writes the invoice letter without links to `file`, then copies the signature image into an
     * "Images" folder beside it under its own file name, replacing a file of that name.
     */
    static Result exportInvoice(const RecordStore& store, const QByteArray& invoiceIdentifier,
                                const QString& file, const QLocale& locale = QLocale::system());
};

} // namespace korvane
