#include "integration/ContentLines.h"

namespace korvane {

QList<ContentLine> ContentLines::unfold(const QByteArray& text)
{
    QList<ContentLine> lines;
    qsizetype at = 0;
    int number = 0;
    while (at < text.size()) {
        qsizetype end = at;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r')
            ++end;
        ++number;
        const QByteArray physical = text.mid(at, end - at);
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
            ++end;
        at = end + 1;
        if (!lines.isEmpty() && !physical.isEmpty() && (physical[0] == ' ' || physical[0] == '\t'))
            lines.last().text += physical.mid(1);
        else
            lines.append(ContentLine{physical, number});
    }
    return lines;
}

QByteArray ContentLines::name(const QByteArray& line)
{
    qsizetype end = 0;
    while (end < line.size() && line[end] != ';' && line[end] != ':')
        ++end;
    QByteArray name = line.left(end).trimmed().toUpper();
    const qsizetype dot = name.lastIndexOf('.');
    return dot < 0 ? name : name.mid(dot + 1);
}

qsizetype ContentLines::valueStart(const QByteArray& line)
{
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted)
            return i + 1;
    }
    return -1;
}

} // namespace korvane
