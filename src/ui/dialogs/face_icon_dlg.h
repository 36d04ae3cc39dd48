// The face icon chooser: the 115 built-in icons as a large-icon list, and the banner of
// the icons' provider.
#pragma once

#include <QDialog>
#include <QLabel>

class CUserInterface;
class QListWidget;
class QPushButton;

// A picture that reacts to a click like a link.
class CBannerLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

class CFaceIconDlg : public QDialog {
    Q_OBJECT
public:
    explicit CFaceIconDlg(CUserInterface& ui, QWidget* parent = nullptr);

    // The icon number chosen with OK (0 until then).
    int ChosenIcon() const { return m_nChosenIcon; }

    void accept() override;

private:
    void OpenProviderPage();

    CUserInterface& m_ui;
    QListWidget* m_list;
    QPushButton* m_ok;
    int m_nChosenIcon = 0;
};
