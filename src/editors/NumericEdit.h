#pragma once

#include <QLineEdit>
#include <QString>
#include <optional>

class QInputMethodEvent;
class QKeyEvent;

namespace korvane {

/**
 * A line edit for amounts and percentages: typing only takes digits, one ".", and the signs
 * "#", "$", "%" and "'"; the text is checked as a number when the value is read.
 */
class NumericEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit NumericEdit(QWidget* parent = nullptr);

    /** True when the character is one that may be typed into a numeric edit at all. */
    static bool isAcceptedCharacter(QChar character);

    /** Shows a stored number in its shortest exact form, so reading it back gives the same value. */
    void setValue(double value);

    /**
     * The number the edit holds: the value given to setValue while its text is untouched, otherwise
     * the text read as a number ("." as the decimal point); nothing when the text is not a number.
     */
    std::optional<double> value() const;

    /** True while the edit shows exactly what setValue put there. */
    bool isUnchanged() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    bool acceptsTyped(const QString& typed) const;

    double m_shownValue = 0.0;
    QString m_shownText;
    bool m_hasShownValue = false;
};

} // namespace korvane
