#include "editors/ResourceDialog.h"

#include "editors/KeptText.h"
#include "edits/RecordDefaults.h"
#include "ui/UserDialogs.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvane {

namespace {

QLineEdit* addRow(QFormLayout* form, const QString& caption, const QString& accessible, const char* name,
                  const QByteArray& bytes)
{
    auto* edit = new QLineEdit;
    edit->setObjectName(QLatin1String(name));
    edit->setAccessibleName(accessible);
    edit->setMinimumWidth(240);
    KeptText::show(edit, bytes);
    auto* label = new QLabel(caption);
    label->setBuddy(edit);
    form->addRow(label, edit);
    return edit;
}

} // namespace

ResourceDialog::ResourceDialog(const QString& title, const ResourceRecord& record, QWidget* parent)
    : QDialog(parent)
    , m_record(record)
{
    setObjectName(QStringLiteral("resourceDialog"));
    setWindowTitle(title);
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_name = addRow(form, tr("&Name : "), tr("Name"), "resourceName", record.name);
    m_designation = addRow(form, tr("De&signation : "), tr("Designation"), "resourceDesignation",
                           record.designation);
    m_department = addRow(form, tr("&Department : "), tr("Department"), "resourceDepartment", record.department);
    m_phone1 = addRow(form, tr("Phone&1 : "), tr("Phone 1"), "resourcePhone1", record.phone1);
    m_phone2 = addRow(form, tr("Phone&2 : "), tr("Phone 2"), "resourcePhone2", record.phone2);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->setObjectName(QStringLiteral("resourceButtons"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("resourceOk"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("resourceCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    m_name->setFocus();
}

ResourceRecord ResourceDialog::record() const
{
    ResourceRecord result = m_record;
    result.name = KeptText::take(m_name);
    result.designation = KeptText::take(m_designation);
    result.department = KeptText::take(m_department);
    result.phone1 = KeptText::take(m_phone1);
    result.phone2 = KeptText::take(m_phone2);
    RecordDefaults::fill(result);
    return result;
}

bool ResourceDialog::run(ResourceRecord& record, const QString& title, QWidget* parent)
{
    ResourceDialog dialog(title, record, parent);
    if (UserDialogs::exec(dialog) != QDialog::Accepted)
        return false;
    record = dialog.record();
    return true;
}

} // namespace korvane
