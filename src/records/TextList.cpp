#include "records/TextList.h"

namespace korvane::TextList {

QList<QByteArray> entries(const QByteArray& list)
{
    QList<QByteArray> result;
    qsizetype start = 0;
    for (qsizetype end = list.indexOf('\n'); end >= 0; end = list.indexOf('\n', start)) {
        result.append(list.mid(start, end - start));
        start = end + 1;
    }
    return result;
}

bool contains(const QByteArray& list, const QByteArray& entry)
{
    return entries(list).contains(entry);
}

QByteArray append(const QByteArray& list, const QByteArray& entry)
{
    return list + entry + '\n';
}

QByteArray remove(const QByteArray& list, const QByteArray& entry)
{
    QByteArray result;
    qsizetype start = 0;
    for (qsizetype end = list.indexOf('\n'); end >= 0; end = list.indexOf('\n', start)) {
        // Whole entries only: removing "12\n" must not cut the tail off "312\n".
        if (QByteArrayView(list).sliced(start, end - start) != QByteArrayView(entry))
            result.append(list.constData() + start, end - start + 1);
        start = end + 1;
    }
    result.append(list.constData() + start, list.size() - start);
    return result;
}

} // namespace korvane::TextList
