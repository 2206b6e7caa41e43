#pragma once

#include <QByteArray>
#include <QLatin1StringView>
#include <QString>
#include <QStringView>

namespace korvane {

/**
 * A long text built piece by piece straight into UTF-8: the bytes QString::toUtf8 gives for the
 * whole, without the whole ever held as a QString beside them.
 */
class Utf8Text
{
public:
    /** Appends a piece written with Latin-1 literals. */
    Utf8Text& operator+=(QLatin1StringView piece);
    /** Appends a piece; a surrogate pair split between two pieces is joined as in one conversion. */
    Utf8Text& operator+=(QStringView piece);
    /** Appends a piece built with QString's operators. */
    Utf8Text& operator+=(const QString& piece) { return *this += QStringView(piece); }

    /** The bytes of the text so far. */
    QByteArray bytes() const;

private:
    QByteArray m_bytes;
    /** The first half of a surrogate pair that ended the last piece, until the next piece tells. */
    QString m_pending;
};

} // namespace korvane
