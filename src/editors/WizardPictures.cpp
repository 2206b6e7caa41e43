#include "editors/WizardPictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QAbstractButton>
#include <QWizard>

namespace korvane::WizardPictures {

namespace {

const QColor kDeepBlue(28, 62, 110);
const QColor kMidBlue(52, 108, 170);
const QColor kPaleBlue(214, 230, 246);
const QColor kAccent(236, 170, 64);

// The program's mark: three rising bars over a baseline, like a small progress chart.
void drawMark(QPainter& painter, const QRectF& box, const QColor& bars, const QColor& accent)
{
    painter.save();
    painter.setPen(Qt::NoPen);
    const qreal barWidth = box.width() / 5.0;
    const qreal heights[] = {0.45, 0.7, 0.95};
    for (int i = 0; i < 3; ++i) {
        const qreal h = box.height() * heights[i];
        const QRectF bar(box.left() + i * barWidth * 1.6 + barWidth * 0.2, box.bottom() - h, barWidth, h);
        painter.setBrush(i == 2 ? accent : bars);
        painter.drawRoundedRect(bar, barWidth * 0.25, barWidth * 0.25);
    }
    painter.restore();
}

} // namespace

QPixmap watermark()
{
    QPixmap pixmap(164, 400);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient background(0, 0, 0, pixmap.height());
    background.setColorAt(0.0, kMidBlue);
    background.setColorAt(1.0, kDeepBlue);
    painter.fillRect(pixmap.rect(), background);

    // Soft rings in the lower half give depth without drawing attention.
    painter.setPen(QPen(QColor(255, 255, 255, 28), 14));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QPointF(150, 330), 120, 120);
    painter.setPen(QPen(QColor(255, 255, 255, 18), 8));
    painter.drawEllipse(QPointF(20, 410), 100, 100);

    drawMark(painter, QRectF(30, 42, 70, 70), QColor(255, 255, 255, 220), kAccent);

    QFont title(QStringLiteral("Sans Serif"));
    title.setPixelSize(28);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(0, 128, pixmap.width(), 40), Qt::AlignHCenter | Qt::AlignVCenter,
                     QStringLiteral("Korvane"));

    QFont tagline(QStringLiteral("Sans Serif"));
    tagline.setPixelSize(11);
    painter.setFont(tagline);
    painter.setPen(kPaleBlue);
    painter.drawText(QRectF(0, 166, pixmap.width(), 20), Qt::AlignHCenter | Qt::AlignVCenter,
                     QStringLiteral("Projects in hand"));

    painter.setPen(QPen(kAccent, 2));
    painter.drawLine(QPointF(52, 194), QPointF(112, 194));
    return pixmap;
}

QPixmap banner()
{
    // Qt draws the banner at its own size and puts the logo after it, so it matches the sheets' width.
    QPixmap pixmap(640, 60);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient background(0, 0, 640, 0);
    background.setColorAt(0.0, Qt::white);
    background.setColorAt(0.6, QColor(244, 248, 253));
    background.setColorAt(1.0, kPaleBlue);
    painter.fillRect(pixmap.rect(), background);

    painter.setPen(QPen(kMidBlue, 2));
    painter.drawLine(0, pixmap.height() - 1, pixmap.width(), pixmap.height() - 1);
    return pixmap;
}

QPixmap logo()
{
    QPixmap pixmap(48, 48);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kDeepBlue);
    painter.drawRoundedRect(QRectF(2, 2, 44, 44), 9, 9);
    drawMark(painter, QRectF(10, 12, 28, 26), QColor(255, 255, 255, 230), kAccent);
    return pixmap;
}

void apply(QWizard& wizard)
{
    wizard.setWizardStyle(QWizard::ModernStyle);
    wizard.setPixmap(QWizard::WatermarkPixmap, watermark());
    wizard.setPixmap(QWizard::BannerPixmap, banner());
    wizard.setPixmap(QWizard::LogoPixmap, logo());
    // The same texts in every sheet and style; the spoken name is the text without its access key.
    const struct
    {
        QWizard::WizardButton which;
        const char* name;
        QString text;
    } buttons[] = {{QWizard::BackButton, "backButton", QWizard::tr("< &Back")},
                   {QWizard::NextButton, "nextButton", QWizard::tr("&Next >")},
                   {QWizard::FinishButton, "finishButton", QWizard::tr("&Finish")},
                   {QWizard::CancelButton, "cancelButton", QWizard::tr("Cancel")}};
    for (const auto& button : buttons) {
        wizard.setButtonText(button.which, button.text);
        wizard.button(button.which)->setObjectName(QLatin1String(button.name));
        wizard.button(button.which)->setAccessibleName(QString(button.text).remove(QLatin1Char('&')));
    }
}

} // namespace korvane::WizardPictures
