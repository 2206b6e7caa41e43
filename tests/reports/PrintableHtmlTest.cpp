#include "reports/PrintableHtml.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

TEST(PrintableHtmlTest, MendsOnlyWhatQtsEngineReadsOtherwiseThanABrowser)
{
    const std::pair<const char*, const char*> cases[] = {
        // A cell before any row gets its row; the rows that follow are left alone.
        {"<table width=80%>\t<td>a</td><td>b</td></tr><tr><td>c</td></tr></table><hr>",
         "<table width=80%>\t<tr><td>a</td><td>b</td></tr><tr><td>c</td></tr></table><hr>"},
        // After the table has ended, a stray cell is no longer the table's.
        {"<table><tr><td>a</td></tr></table><td>x", "<table><tr><td>a</td></tr></table><td>x"},
        // A table inside a cell keeps its own count of rows.
        {"<table><tr><td><table><td>in</td></table></td><td>out</td></tr></table>",
         "<table><tr><td><table><tr><td>in</td></table></td><td>out</td></tr></table>"},
        {"<TABLE><TD>a</TD></TABLE>", "<TABLE><tr><TD>a</TD></TABLE>"},
        // A style ended inside a list it was open around: the list stays whole.
        {"<td><font size=3><b><ul><li>Ph1:</b>555</li><li><b>Ph2:</b>556</li></ul></font></td>",
         "<td><font size=3><b><ul><li>Ph1:555</li><li><b>Ph2:</b>556</li></ul></font></td>"},
        // Styles ended in the order they opened, or after their block ended, are left as they are.
        {"<font size=3><b>Julia</font></b><br><i>Lead</i>",
         "<font size=3><b>Julia</font></b><br><i>Lead</i>"},
        {"<dd><font>x<dl><dd>y</dd></dl></dd></font>", "<dd><font>x<dl><dd>y</dd></dl></dd></font>"},
        // Tags inside comments and ">" inside quoted values are not read as markup.
        {"<!-- <table><td> --><img alt=\"a>b\" src=x.bmp><p>a < b</p>",
         "<!-- <table><td> --><img alt=\"a>b\" src=x.bmp><p>a < b</p>"},
        {"<font size = 3>it's</font>", "<font size = 3>it's</font>"},
        // Unfinished markup at the end of a page is kept as it came.
        {"<table><td", "<table><tr><td"},
        {"text <", "text <"},
    };
    for (const auto& [page, expected] : cases)
        EXPECT_EQ(PrintableHtml::normalise(QString::fromUtf8(page)).toStdString(), expected) << page;
}

} // namespace
