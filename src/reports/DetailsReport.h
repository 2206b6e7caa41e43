#pragma once

#include "reports/PageWriter.h"

#include <QByteArray>
#include <QLocale>
#include <QString>

namespace korvane {

class RecordStore;

/** The details report: everything about one project, as the "Details" tab shows it. */
class DetailsReport
{
public:
    /** The page text; an unknown project gives the "No Project Is Selected" page. */
    static QString generate(const RecordStore& store, const QByteArray& projectIdentifier,
                            const QLocale& locale = QLocale::system());

    /** The page text as UTF-8, byte for byte the file "Details.html" gets. */
    static QByteArray generateUtf8(const RecordStore& store, const QByteArray& projectIdentifier,
                                   const QLocale& locale = QLocale::system());

    /** Generates the page and writes it to "Details.html" in the program's folder (the result holds no text).
     */
    static PageResult write(const RecordStore& store, const QByteArray& projectIdentifier,
                            const QLocale& locale = QLocale::system());
};

} // namespace korvane
