#include "shell/SetWorkingFolderDialog.h"

#include "ui/UserDialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvane {

SetWorkingFolderDialog::SetWorkingFolderDialog(const QString& initialPath, QWidget* parent)
    : QDialog(parent), m_pathEdit(new QLineEdit(initialPath, this)),
      m_browseButton(new QPushButton(QStringLiteral("Browse"), this)),
      m_setButton(new QPushButton(QStringLiteral("Set"), this)),
      m_cancelButton(new QPushButton(QStringLiteral("Cancel"), this))
{
    setWindowTitle(QStringLiteral("Set Working Folder"));
    setObjectName(QStringLiteral("SetWorkingFolderDialog"));

    auto* label = new QLabel(QStringLiteral("Working Folder: "), this);
    label->setBuddy(m_pathEdit);
    m_pathEdit->setObjectName(QStringLiteral("pathEdit"));
    m_pathEdit->setReadOnly(true);
    m_pathEdit->setMinimumWidth(320);
    m_browseButton->setObjectName(QStringLiteral("browseButton"));
    m_browseButton->setAutoDefault(false);
    m_setButton->setObjectName(QStringLiteral("setButton"));
    m_setButton->setDefault(true);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_cancelButton->setAutoDefault(false);

    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(label);
    pathRow->addWidget(m_pathEdit, 1);
    pathRow->addWidget(m_browseButton);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_setButton);
    buttons->addWidget(m_cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(pathRow);
    layout->addLayout(buttons);

    connect(m_browseButton, &QPushButton::clicked, this, &SetWorkingFolderDialog::browse);
    connect(m_setButton, &QPushButton::clicked, this, &SetWorkingFolderDialog::set);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

QString SetWorkingFolderDialog::path() const
{
    return m_pathEdit->text();
}

QString SetWorkingFolderDialog::pickedFolderFor(const QString& chosen)
{
    const QString folder = QDir::cleanPath(chosen);
    const QFileInfo info(folder);
    if (info.fileName() == QLatin1String("Korvane"))
        return info.path();
    return folder;
}

void SetWorkingFolderDialog::browse()
{
    const QString start = path().isEmpty() ? QDir::homePath() : path();
    const QString chosen = UserDialogs::existingDirectory(this, QStringLiteral("Pick a Directory"), start);
    if (chosen.isEmpty())
        return;
    m_pathEdit->setText(pickedFolderFor(chosen));
    if (!QFileInfo(path()).isDir()) {
        UserDialogs::message(
            this,
            QStringLiteral("The directory you have selected does not exists or it is a write "
                           "protected medium."),
            UserDialogs::Icon::Warning);
        m_pathEdit->clear();
    }
}

void SetWorkingFolderDialog::set()
{
    if (path().isEmpty())
        reject();
    else
        accept();
}

} // namespace korvane
