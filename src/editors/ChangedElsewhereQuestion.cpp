#include "editors/ChangedElsewhereQuestion.h"

#include "store/RecordStore.h"
#include "ui/UserDialogs.h"

#include <QMessageBox>
#include <QPushButton>

namespace korvane {

void ChangedElsewhereQuestion::ask(QWidget* parent, RecordStore& store, EditResult& result,
                                   const std::function<EditResult()>& save, const QString& question)
{
    if (!result.changedElsewhere)
        return;
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Korvane"),
                    result.error + QStringLiteral("\n\n") +
                        (question.isEmpty()
                             ? QStringLiteral("Overwrite it with what you typed here, or reload it "
                                              "to see the other version (what you typed stays here "
                                              "to apply again)?")
                             : question),
                    QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("ChangedElsewhereQuestion"));
    QPushButton* overwrite = box.addButton(QStringLiteral("&Overwrite"), QMessageBox::DestructiveRole);
    overwrite->setObjectName(QStringLiteral("OverwriteButton"));
    QPushButton* reload = box.addButton(QStringLiteral("&Reload"), QMessageBox::AcceptRole);
    reload->setObjectName(QStringLiteral("ReloadButton"));
    QPushButton* keep = box.addButton(QStringLiteral("&Keep Editing"), QMessageBox::RejectRole);
    keep->setObjectName(QStringLiteral("KeepEditingButton"));
    box.setDefaultButton(keep);
    box.setEscapeButton(keep);
    UserDialogs::exec(box);

    if (box.clickedButton() == overwrite) {
        store.setOverwriteChanged(true);
        result = save();
        store.setOverwriteChanged(false);
    } else if (box.clickedButton() == reload) {
        const FileRef& file = *result.changedElsewhere;
        if (const auto* kind = std::get_if<RecordKind>(&file.type)) {
            if (const QString error = store.reloadRecord(*kind, file.identifier); !error.isEmpty())
                UserDialogs::message(parent, error, UserDialogs::Icon::Warning);
        }
    }
}

} // namespace korvane
