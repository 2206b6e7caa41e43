#pragma once

#include <QString>

namespace korvane {

/** A link followed inside a shown page: a command for the program, or an ordinary page to open. */
struct PageLink
{
    enum class Action
    {
        /** Any other link: the view opens it as usual. */
        Navigate,
        /** "invoice::print": print the invoice shown. */
        PrintShownInvoice,
        /** "invoice::MailTo": mail the invoice shown. */
        MailShownInvoice,
        /** "invoice::WordExpo": export the invoice shown to a Word document. */
        WordExportShownInvoice,
        /** "invoice::HTMLExpo": export the invoice shown to an HTML file. */
        HtmlExportShownInvoice,
        /** A link holding "print::" (the invoice list): print the invoice it names. */
        PrintListedInvoice
    };

    Action action = Action::Navigate;
    /** For PrintListedInvoice: the invoice identifier, the link with every "print::" taken out. */
    QString invoiceIdentifier;

    /** What a link's target asks for; the target is trimmed and compared exactly. */
    static PageLink parse(const QString& target);
};

} // namespace korvane
