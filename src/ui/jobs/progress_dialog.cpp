#include "ui/jobs/progress_dialog.h"

#include <QCoreApplication>
#include <QPointer>
#include <QProgressDialog>
#include <memory>

std::function<void(int done, int total)> ProgressInDialog(QWidget* parent, QString label) {
    auto dialog = std::make_shared<QPointer<QProgressDialog>>();
    return [parent, label = std::move(label), dialog](int done, int total) {
        if (!*dialog) {
            if (done >= total) return;
            *dialog = new QProgressDialog(label, QString(), 0, total, parent);
            (*dialog)->setWindowModality(Qt::WindowModal);
            (*dialog)->setAutoClose(false);
            (*dialog)->setAutoReset(false);
            (*dialog)->show();
        }
        if (done >= total) {
            (*dialog)->hide();
            (*dialog)->deleteLater();
            *dialog = nullptr;
            return;
        }
        (*dialog)->setMaximum(total);
        (*dialog)->setValue(done);
        // The window's thread does the work: the dialog is drawn between its steps.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
}
