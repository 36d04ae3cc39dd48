// Driving modal dialogs and message boxes from a test: the action runs once the next
// modal window is up, inside its event loop.
#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <functional>

// Runs `action` on the next modal widget that is not `current` (checked every 10 ms, up to
// about two seconds; after that the modal window is rejected so the test cannot hang).
inline void WhenModalOpens(std::function<void(QWidget*)> action, QWidget* current = nullptr, int triesLeft = 200) {
    QTimer::singleShot(10, [action = std::move(action), current, triesLeft] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal != current) {
            action(modal);
        } else if (triesLeft > 0) {
            WhenModalOpens(action, current, triesLeft - 1);
        } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->reject();
        }
    });
}

// Answers the next message box with its default button and keeps its text.
inline void AcknowledgeMessageBox(QString* text, QWidget* current = nullptr) {
    WhenModalOpens(
        [text](QWidget* modal) {
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                *text = box->text();
                box->accept();
            }
        },
        current);
}
