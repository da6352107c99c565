#include "ui/errorreport.h"

#include <QMessageBox>
#include <QWidget>

void reportError(QWidget *owner, const QString &message)
{
    // Reuse a box that is still open rather than stacking one per failed event.
    auto *box = owner ? owner->findChild<QMessageBox *>(QStringLiteral("errorBox")) : nullptr;
    if (!box) {
        box = new QMessageBox(QMessageBox::Warning, owner ? owner->windowTitle() : QString(),
                              message, QMessageBox::Ok, owner);
        box->setObjectName(QStringLiteral("errorBox"));
        // A path or the system's words are shown as they are, never read as rich text.
        box->setTextFormat(Qt::PlainText);
        box->setAttribute(Qt::WA_DeleteOnClose);
    } else {
        box->setText(message);
    }
    box->open();
}
