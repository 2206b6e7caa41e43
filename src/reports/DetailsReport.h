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

    /** Generates the page and writes it to "Details.html" in the program's folder. */
    static PageResult write(const RecordStore& store, const QByteArray& projectIdentifier,
                            const QLocale& locale = QLocale::system());
};

} // namespace korvane
