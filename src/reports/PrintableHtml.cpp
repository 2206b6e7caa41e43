#include "reports/PrintableHtml.h"

#include <QList>
#include <QSet>

namespace korvane {

namespace {

using namespace Qt::Literals::StringLiterals;

/** Elements that never have an end tag, so they never stay open. */
bool isVoid(const QString& name)
{
    static const QSet<QString> names = {u"br"_s,  u"img"_s,  u"hr"_s,   u"meta"_s, u"link"_s,
                                        u"col"_s, u"area"_s, u"base"_s, u"wbr"_s,  u"input"_s};
    return names.contains(name);
}

/** Text styles a browser carries into the blocks opened inside them. */
bool isInline(const QString& name)
{
    static const QSet<QString> names = {u"b"_s,      u"i"_s,      u"u"_s,   u"s"_s,  u"font"_s, u"em"_s,
                                        u"strong"_s, u"small"_s,  u"big"_s, u"tt"_s, u"span"_s, u"a"_s,
                                        u"code"_s,   u"strike"_s, u"sub"_s, u"sup"_s};
    return names.contains(name);
}

/**
 * The elements a start tag ends when it follows them inside their container, as browsers do: a new
 * row ends the open row, a new cell the open cell, a new list item the open item.
 */
struct ImpliedEnd
{
    QStringList ends;
    QStringList boundaries;
};

ImpliedEnd impliedEnd(const QString& name)
{
    if (name == u"tr")
        return {{u"tr"_s}, {u"table"_s}};
    if (name == u"td" || name == u"th")
        return {{u"td"_s, u"th"_s}, {u"tr"_s, u"table"_s}};
    if (name == u"li")
        return {{u"li"_s}, {u"ul"_s, u"ol"_s, u"td"_s}};
    if (name == u"dd" || name == u"dt")
        return {{u"dd"_s, u"dt"_s}, {u"dl"_s, u"td"_s}};
    return {};
}

/** Where the tag that starts at `open` ends (just past its ">"), quotes inside it skipped. */
qsizetype tagEnd(const QString& page, qsizetype open)
{
    QChar quote;
    for (qsizetype at = open + 1; at < page.size(); ++at) {
        const QChar c = page[at];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if ((c == u'"' || c == u'\'') && (page[at - 1] == u'=' || page[at - 1].isSpace())) {
            // Only a quote that opens a value counts: "size = 3" has none, "it's" text has no "=".
            quote = c;
        } else if (c == u'>') {
            return at + 1;
        }
    }
    return page.size();
}

/** The tag's name in lower case, without its "/", and whether it is an end tag. */
QString tagName(const QString& page, qsizetype open, qsizetype end, bool& closing)
{
    qsizetype at = open + 1;
    closing = at < end && page[at] == u'/';
    if (closing)
        ++at;
    const qsizetype start = at;
    while (at < end && page[at].isLetterOrNumber())
        ++at;
    return page.mid(start, at - start).toLower();
}

/** The elements open at a point of the page, innermost last, as far as the mending needs them. */
class OpenElements
{
public:
    /** Where the innermost of `names` is open above any of `boundaries`, or -1. */
    qsizetype find(const QStringList& names, const QStringList& boundaries = {}) const
    {
        for (qsizetype at = m_names.size() - 1; at >= 0; --at) {
            if (names.contains(m_names[at]))
                return at;
            if (boundaries.contains(m_names[at]))
                return -1;
        }
        return -1;
    }
    /** True when a block element is open inside the one at `at`. */
    bool blockInside(qsizetype at) const
    {
        for (qsizetype inner = at + 1; inner < m_names.size(); ++inner) {
            if (!isInline(m_names[inner]))
                return true;
        }
        return false;
    }
    void closeFrom(qsizetype at) { m_names.resize(at); }
    void open(const QString& name) { m_names.append(name); }

private:
    QStringList m_names;
};

} // namespace

QString PrintableHtml::normalise(const QString& page)
{
    QString mended;
    mended.reserve(page.size() + 64);
    OpenElements elements;
    qsizetype copied = 0;
    auto copyTo = [&](qsizetype at) {
        mended += QStringView(page).mid(copied, at - copied);
        copied = at;
    };
    for (qsizetype open = page.indexOf(u'<'); open >= 0; open = page.indexOf(u'<', open)) {
        if (page.mid(open, 4) == "<!--"_L1) {
            const qsizetype close = page.indexOf("-->"_L1, open + 4);
            open = close < 0 ? page.size() : close + 3;
            continue;
        }
        const qsizetype end = tagEnd(page, open);
        bool closing = false;
        const QString name = tagName(page, open, end, closing);
        if (name.isEmpty() || isVoid(name)) {
            // Not an element that stays open: text such as "a < b", a picture, a line break.
        } else if (closing) {
            const qsizetype at = elements.find({name});
            if (at >= 0 && isInline(name) && elements.blockInside(at)) {
                // A style that ends inside a list or cell it did not open in: a browser keeps the
                // block whole and styled; Qt's engine would end the block there. Leave the tag out.
                copyTo(open);
                copied = end;
            } else if (at >= 0) {
                elements.closeFrom(at);
            }
        } else {
            const ImpliedEnd implied = impliedEnd(name);
            const qsizetype ended = elements.find(implied.ends, implied.boundaries);
            if (ended >= 0)
                elements.closeFrom(ended);
            if ((name == u"td" || name == u"th") && elements.find({u"tr"_s}, {u"table"_s}) < 0 &&
                elements.find({u"table"_s}) >= 0) {
                // A cell outside a row: a browser opens the row; Qt's engine keeps the table open past
                // its end, so everything after it would land inside the last cell.
                copyTo(open);
                mended += "<tr>"_L1;
                elements.open(u"tr"_s);
            }
            elements.open(name);
        }
        open = end;
    }
    copyTo(page.size());
    return mended;
}

} // namespace korvane
