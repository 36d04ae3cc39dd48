#include "ui/main/search_field.h"

#include <QKeyEvent>

#include "core/texts.h"

CSearchField::CSearchField(QWidget* parent) : QLineEdit(parent) {
    setPlaceholderText(QString::fromUtf8(texts::kSearchPlaceholder));
    setClearButtonEnabled(true);
    setMaximumWidth(200);
}

void CSearchField::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && !text().isEmpty()) {
        clear();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
