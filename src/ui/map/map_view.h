// The map pane: one of the nine maps with the icons of the pals of that map that the pal
// list holds. Hovering an icon shows the pal's name tag, dragging moves the pal, and a
// double-click edits it. From the keyboard, arrows pick an icon and Shift+arrows move it.
#pragma once

#include <QPixmap>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <string>
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
    // Where a pal picked from the keyboard is selected in the list, as a click would.
    void SetPickHandler(std::function<void(const std::string& address)> pick) { m_pick = std::move(pick); }

    // Draws the map and its icons now and rebuilds the icon slots.
    void RedrawNow();

    // The map bar's choice of map `index`, applied at once: the map is redrawn, and the
    // list refilled when it shows only the pals of the map shown.
    void ApplyMapChoice(int index);

    const CMapIconSlots& IconSlots() const { return m_aIconSlots; }
    const CNamePopup& NamePopup() const { return *m_wndNamePopup; }

    // The slot of the icon picked from the keyboard, or -1.
    int PickedIcon() const;
    // Picks the icon of slot `k`: the list selects its pal and assistive tools hear of it.
    void PickIcon(int k);
    // Slot `k`'s box in the map's coordinates, and what assistive tools call it.
    QRect IconRect(int k) const;
    QString IconName(int k) const;

    QSize sizeHint() const override { return {kMapSize, kMapSize}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void OnDraw(QPainter& painter);
    void DrawPal(QPainter& painter, const CPenPal& pal);
    using MapPictures = std::array<QPixmap, kMapCount>;
    const QPixmap& MapLayer(MapPictures& pictures, const QString& path, const QPaintDevice* device);
    // Which icon the pointer is over, and the cursor that tells it.
    void TestCursor();
    void ShowNameTag(QPoint point);
    // Moves slot `k`'s pal by `moved` (one undo step, stored) and redraws the map.
    void MoveIcon(int k, QPoint moved);
    int SlotOf(const std::string& address) const;

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
    std::function<void(const std::string&)> m_pick;
    std::string m_strPickedAddress;  // the icon the keyboard works on
};
