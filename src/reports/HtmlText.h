#pragma once

#include <QByteArray>
#include <QString>

namespace korvane {

/** How record texts and numbers enter the generated pages. */
namespace HtmlText {

/** The text with "&", "<", ">" and '"' written as entities, so it shows as typed and never as markup. */
QString escape(const QString& text);

/** A stored record text as it goes into a page: decoded for display, then escaped. */
QString record(const QByteArray& bytes);

/**
 * The number as C's printf writes it with "%.<decimals>f": rounding on the exact binary value
 * (2.5 gives "2" with no decimals), minus zero keeps its sign, always a "." whatever the locale.
 */
QString fixed(double value, int decimals);

} // namespace HtmlText

} // namespace korvane
