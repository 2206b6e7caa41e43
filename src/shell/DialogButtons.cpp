#include "shell/DialogButtons.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace korvane {

QHBoxLayout* okCancelRow(QPushButton* ok, QPushButton* cancel)
{
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setAutoDefault(false);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

} // namespace korvane
