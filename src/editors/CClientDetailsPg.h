#pragma once

#include "records/Records.h"

#include <QWizardPage>

class QLineEdit;

namespace korvane {

/** The project wizard's page for the client: name, contact person, address, website and phones. */
class CClientDetailsPg : public QWizardPage
{
    Q_OBJECT

public:
    explicit CClientDetailsPg(QWidget* parent = nullptr);

    /** Shows the client's fields. */
    void setClient(const ClientRecord& record);
    /** The record given to setClient with the page's fields taken over; untouched fields keep their bytes. */
    ClientRecord client() const;

    QLineEdit* nameEdit() const { return m_name; }

private:
    ClientRecord m_record;
    QLineEdit* m_name;
    QLineEdit* m_contact;
    QLineEdit* m_address;
    QLineEdit* m_website;
    QLineEdit* m_phone1;
    QLineEdit* m_phone2;
};

} // namespace korvane
