#include "ui/errorreport.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QWidget>

#include <cstdio>

namespace {

void tellUnshown() noexcept
{
    std::fputs("passages: an error occurred and there was no memory to show it\n", stderr);
}

} // namespace

void reportError(QWidget *owner, const QString &message) noexcept
{
    try {
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
    } catch (...) {
        tellUnshown();
    }
}

void reportException(QWidget *owner, const char *what) noexcept
{
    try {
        reportError(owner, what ? QString::fromLocal8Bit(what)
                                : QCoreApplication::translate("guarded",
                                                              "An unknown error occurred."));
    } catch (...) {
        tellUnshown();
    }
}
