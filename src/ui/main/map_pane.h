// The map pane of the main window. The frame knows it only through this header: the
// type held in the top-left pane and how it is made.
#pragma once

#include <QWidget>

class CYubinoApp;
class CPictureCache;

// Shows the name of the map chosen in the map bar until the map view takes its place.
class CMapPlaceholder : public QWidget {
    Q_OBJECT
public:
    CMapPlaceholder(const CYubinoApp& app, QWidget* parent);
    // Redraws with the current display state.
    void RedrawNow() { update(); }
    QSize sizeHint() const override { return {400, 400}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const CYubinoApp& m_app;
};

using CMapPane = CMapPlaceholder;

CMapPane* CreateMapPane(CYubinoApp& app, CPictureCache& pictures, QWidget* parent);
