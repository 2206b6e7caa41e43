#include "editors/CClientDetailsPg.h"

#include "editors/KeptText.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

namespace korvane {

namespace {

QLineEdit* addRow(QFormLayout* form, const QString& caption, const QString& accessible, const char* name)
{
    auto* edit = new QLineEdit;
    edit->setObjectName(QLatin1String(name));
    edit->setAccessibleName(accessible);
    auto* label = new QLabel(caption);
    label->setBuddy(edit);
    form->addRow(label, edit);
    return edit;
}

} // namespace

CClientDetailsPg::CClientDetailsPg(QWidget* parent)
    : QWizardPage(parent)
{
    setObjectName(QStringLiteral("clientDetailsPage"));
    setTitle(tr("Client Details"));
    setSubTitle(tr("Enter Client Details"));

    auto* form = new QFormLayout(this);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    m_name = addRow(form, tr("Client Na&me"), tr("Client Name"), "clientName");
    m_contact = addRow(form, tr("Contact &Person"), tr("Contact Person"), "contactPerson");
    m_address = addRow(form, tr("&Address"), tr("Address"), "clientAddress");
    m_website = addRow(form, tr("&Website"), tr("Website"), "clientWebsite");
    m_phone1 = addRow(form, tr("Phone&1"), tr("Phone 1"), "clientPhone1");
    m_phone2 = addRow(form, tr("Phone&2"), tr("Phone 2"), "clientPhone2");
    setFocusProxy(m_name);
    setClient(ClientRecord{});
}

void CClientDetailsPg::setClient(const ClientRecord& record)
{
    m_record = record;
    KeptText::show(m_name, record.clientName);
    KeptText::show(m_contact, record.contactPerson);
    KeptText::show(m_address, record.address);
    KeptText::show(m_website, record.website);
    KeptText::show(m_phone1, record.phone1);
    KeptText::show(m_phone2, record.phone2);
}

ClientRecord CClientDetailsPg::client() const
{
    ClientRecord record = m_record;
    record.clientName = KeptText::take(m_name);
    record.contactPerson = KeptText::take(m_contact);
    record.address = KeptText::take(m_address);
    record.website = KeptText::take(m_website);
    record.phone1 = KeptText::take(m_phone1);
    record.phone2 = KeptText::take(m_phone2);
    return record;
}

} // namespace korvane
