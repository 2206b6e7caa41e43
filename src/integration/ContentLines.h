#pragma once

#include <QByteArray>
#include <QList>

namespace korvane {

/** One logical line of a vCard or iCalendar file, with the number of the physical line it starts on. */
struct ContentLine
{
    QByteArray text;
    int number = 0;
};

/** Splits vCard and iCalendar text into logical lines, joining folded continuation lines. */
class ContentLines
{
public:
    /** The unfolded lines: CR LF, LF and CR end a line; a line starting with a blank continues the last. */
    static QList<ContentLine> unfold(const QByteArray& text);

    /** The name of a content line ("TEL" of "item1.TEL;TYPE=cell:..."), upper case, without its group. */
    static QByteArray name(const QByteArray& line);

    /** Where the value begins: after the first colon outside a quoted parameter value; -1 when there is none.
     */
    static qsizetype valueStart(const QByteArray& line);
};

} // namespace korvane
