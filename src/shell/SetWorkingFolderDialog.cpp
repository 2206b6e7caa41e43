#include "shell/SetWorkingFolderDialog.h"

#include "ui/UserDialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
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

    auto* explanation = new QLabel(QStringLiteral("Korvane keeps its data in a folder named \"Korvane\" "
                                                  "inside the folder you choose here."),
                                   this);
    explanation->setObjectName(QStringLiteral("explanationLabel"));
    explanation->setWordWrap(true);
    auto* label = new QLabel(QStringLiteral("Working Folder: "), this);
    label->setBuddy(m_pathEdit);
    m_pathEdit->setObjectName(QStringLiteral("pathEdit"));
    m_pathEdit->setReadOnly(true);
    m_pathEdit->setAccessibleName(QStringLiteral("Working Folder"));
    m_pathEdit->setAccessibleDescription(explanation->text());
    // Only suggested: the folder is not taken until the user picks one with Browse.
    m_pathEdit->setPlaceholderText(QStringLiteral("for example %1 (Browse to choose)")
                                       .arg(QDir::toNativeSeparators(suggestedFolder())));
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
    layout->addWidget(explanation);
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

QString SetWorkingFolderDialog::suggestedFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
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
    const QString start = path().isEmpty() ? suggestedFolder() : path();
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
