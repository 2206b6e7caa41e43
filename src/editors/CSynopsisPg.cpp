#include "editors/CSynopsisPg.h"

#include "editors/KeptText.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace korvane {

CSynopsisPg::CSynopsisPg(QWidget* parent)
    : QWizardPage(parent)
    , m_edit(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("synopsisPage"));
    m_edit->setObjectName(QStringLiteral("synopsisEdit"));
    m_edit->setAccessibleName(tr("Synopsis"));
    // Tab moves on to the wizard's buttons instead of typing a tab into the text.
    m_edit->setTabChangesFocus(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_edit);
    setFocusProxy(m_edit);
    KeptText::show(m_edit, {});
}

void CSynopsisPg::setText(const QByteArray& text)
{
    KeptText::show(m_edit, text);
}

QByteArray CSynopsisPg::text() const
{
    return KeptText::take(m_edit);
}

} // namespace korvane
