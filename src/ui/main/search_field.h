// The search field over the pal list: Escape empties it, which ends the search.
#pragma once

#include <QLineEdit>

class CSearchField : public QLineEdit {
    Q_OBJECT
public:
    explicit CSearchField(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
