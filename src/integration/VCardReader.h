#pragma once

#include "integration/PimItems.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace korvane {

/** Reads the contacts of a vCard file (versions 2.1, 3.0 and 4.0, any number of cards). */
class VCardReader
{
public:
    /** The most cards one file may hold, so a huge file cannot exhaust memory. */
    static constexpr qsizetype MaxCards = 100000;

    /**
     * Reads every card of the text into `contacts`, in the file's order. Returns an empty text on
     * success, otherwise the reason the text is not a readable vCard file (and `contacts` is empty).
     */
    static QString read(const QByteArray& text, QList<ContactItem>& contacts);
};

} // namespace korvane
