#pragma once

#include <QByteArray>
#include <QWizardPage>

class QPlainTextEdit;

namespace korvane {

/** A wizard page holding one long free text (a project's synopsis, a meeting's notes), never cut. */
class CSynopsisPg : public QWizardPage
{
    Q_OBJECT

public:
    explicit CSynopsisPg(QWidget* parent = nullptr);

    /** Shows the stored text. */
    void setText(const QByteArray& text);
    /** The text to store: the bytes given to setText when the user did not change it. */
    QByteArray text() const;
    /** The multi-line edit filling the page. */
    QPlainTextEdit* edit() const { return m_edit; }

private:
    QPlainTextEdit* m_edit;
};

} // namespace korvane
