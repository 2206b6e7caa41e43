#pragma once

#include "records/Records.h"

#include <QByteArray>
#include <QString>

namespace korvane {

/** How an invoice's and a money flow entry's fields are made from what the user typed. */
namespace InvoiceRules {

/** A new invoice of a project, as the Add Invoice dialog opens it. */
InvoiceRecord newInvoice(const QByteArray& projectIdentifier);

/** The addressee split for showing: the salutation up to and including its first ".", then the name. */
struct Addressee
{
    QString salutation;
    QString name;
};
Addressee splitAddressee(const QByteArray& addressee);
/** The addressee as stored: salutation and name trimmed and joined, "Unknown" when both are empty. */
QByteArray joinAddressee(const QString& salutation, const QString& name);

/** The currency text as stored: the typed "symbol - name" trimmed, or "$-US DOLLAR" without one. */
QString cleanCurrencyText(const QString& typed);

/** The amount less the tax percentage of it. */
double netAmount(double amount, double taxPercentage);

/** Fills what an invoice derives from its other fields on OK: the amount in words of its net amount. */
void finish(InvoiceRecord& invoice);

} // namespace InvoiceRules

} // namespace korvane
