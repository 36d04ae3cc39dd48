// The map pane: one of the nine maps with the icons of the pals of that map that the pal
// list holds. Hovering an icon shows the pal's name tag, dragging moves the pal, and a
// double-click edits it.
#pragma once

#include <QPixmap>
#include <QString>
#include <QPoint>
#include <QWidget>
#include <array>
#include <functional>
#include <vector>

#include "core/map_icons.h"
#include "core/maps.h"

class CNamePopup;
class CPictureCache;
class CYubinoApp;

class CMapView : public QWidget {
public:
    // The rows of the pal list, in list order, with their selection.
    using ListRowsSource = std::function<std::vector<PalListRow>()>;

    CMapView(CYubinoApp& app, CPictureCache& pictures, QWidget* parent = nullptr);

    // Where the map reads the pal list from; until it is set the list holds nothing.
    void SetListRows(ListRowsSource source);

    // Draws the map and its icons now and rebuilds the icon slots.
    void RedrawNow();

    // The map bar's choice of map `index`, applied at once: the map is redrawn, and the
    // list refilled when it shows only the pals of the map shown.
    void ApplyMapChoice(int index);

    const CMapIconSlots& IconSlots() const { return m_aIconSlots; }
    const CNamePopup& NamePopup() const { return *m_wndNamePopup; }

    QSize sizeHint() const override { return {kMapSize, kMapSize}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void OnDraw(QPainter& painter);
    void DrawPal(QPainter& painter, const CPenPal& pal);
    using MapPictures = std::array<QPixmap, kMapCount>;
    const QPixmap& MapLayer(MapPictures& pictures, const QString& path, const QPaintDevice* device);
    // Which icon the pointer is over, and the cursor that tells it.
    void TestCursor();
    void ShowNameTag(QPoint point);

    CYubinoApp& m_app;
    CPictureCache& m_pictures;
    ListRowsSource m_listRows;
    CMapIconSlots m_aIconSlots;
    bool m_bDragging = false;
    QPoint m_ptLastMouse;
    bool m_bOverIcon = false;
    int m_nOverIcon = 0;
    QPoint m_ptDragStart;
    CMapChoice m_mapChoice;
    CNamePopup* m_wndNamePopup;
    QPixmap m_drawing;  // the last drawing; painting only shows it
    MapPictures m_mapPictures;
    MapPictures m_labelPictures;
};
