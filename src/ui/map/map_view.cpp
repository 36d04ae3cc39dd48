#include "ui/map/map_view.h"

#include <QAccessible>
#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResource>
#include <cstdint>
#include <optional>

#include "core/accessible_texts.h"
#include "core/map_keys.h"
#include "core/yubino_app.h"
#include "ui/face_icons.h"
#include "ui/map/map_accessible.h"
#include "ui/map/name_popup.h"
#include "ui/map/picture_cache.h"
#include "ui/qt_text.h"

namespace {

// Screens of more than 1.5 device pixels per pixel get the pictures drawn at twice the pixels.
bool UsesDoublePictures(qreal ratio) { return ratio > 1.5; }

// A square picture of `side` pixels packed at build time as raw premultiplied pixels. The
// pixmap keeps the unpacked bytes as they are, without a copy.
QPixmap RawPicture(const QString& path, int side) {
    auto* bytes = new QByteArray(QResource(path).uncompressedData());
    if (bytes->size() != qsizetype{4} * side * side) {
        delete bytes;
        return {};
    }
    QImage image(
        reinterpret_cast<const uchar*>(bytes->constData()), side, side, QImage::Format_ARGB32_Premultiplied,
        [](void* owned) { delete static_cast<QByteArray*>(owned); }, bytes);
    return QPixmap::fromImage(std::move(image));
}

// ":/dir/name.png" (or a map's ".argb" layer of raw pixels), or its "@2x" twin with its
// device pixel ratio set for such screens.
QPixmap LoadPicture(const QString& path, qreal ratio) {
    const bool twice = UsesDoublePictures(ratio);
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const QString file = twice ? QString(path).insert(dot, QStringLiteral("@2x")) : path;
    QPixmap picture =
        path.endsWith(QStringLiteral(".argb")) ? RawPicture(file, kMapSize * (twice ? 2 : 1)) : QPixmap(file);
    if (twice) picture.setDevicePixelRatio(2);
    return picture;
}

const QCursor& MoveCursor() {
    static const QCursor cursor(LoadPicture(QStringLiteral(":/cursors/move.png"), qApp->devicePixelRatio()), 0, 0);
    return cursor;
}

const QCursor& DragCursor() {
    static const QCursor cursor(LoadPicture(QStringLiteral(":/cursors/move_drag.png"), qApp->devicePixelRatio()), 0,
                                0);
    return cursor;
}

// Whether a box of `side` at (x, y) touches the drawing. Positions from an old file can
// lie anywhere in the int range, where the painter's own arithmetic would overflow.
bool TouchesDrawing(int x, int y, int side, QSize drawing) {
    return std::int64_t{x} + side > 0 && x < drawing.width() && std::int64_t{y} + side > 0 && y < drawing.height();
}

std::optional<MapDirection> ArrowDirection(int key) {
    switch (key) {
        case Qt::Key_Left:
            return MapDirection::Left;
        case Qt::Key_Right:
            return MapDirection::Right;
        case Qt::Key_Up:
            return MapDirection::Up;
        case Qt::Key_Down:
            return MapDirection::Down;
        default:
            return std::nullopt;
    }
}

// Shows the wait cursor while a dropped icon is stored and the map redrawn.
class CWaitCursor {
public:
    CWaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CWaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};

}  // namespace

CMapView::CMapView(CYubinoApp& app, CPictureCache& pictures, QWidget* parent)
    : QWidget(parent), m_app(app), m_pictures(pictures), m_wndNamePopup(new CNamePopup(this)) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    InstallMapAccessibility();
}

void CMapView::SetListRows(ListRowsSource source) { m_listRows = std::move(source); }

void CMapView::RedrawNow() {
    const qreal ratio = devicePixelRatioF();
    // The drawing is painted over whole, so one of the right size is used again.
    if (m_drawing.size() != size() * ratio || m_drawing.devicePixelRatio() != ratio) {
        m_drawing = QPixmap(size() * ratio);
        m_drawing.setDevicePixelRatio(ratio);
    }
    QPainter painter(&m_drawing);
    OnDraw(painter);
    painter.end();
    if (isVisible()) repaint();
}

void CMapView::ApplyMapChoice(int index) {
    const MapChoiceRefresh refresh = m_mapChoice.Apply(m_app, index);
    // The map draws the pals the list holds: the list is refilled first.
    if (refresh.bRefillList) m_app.UpdateListView();
    if (refresh.bRedrawMap) RedrawNow();
}

void CMapView::OnDraw(QPainter& painter) {
    painter.fillRect(rect(), palette().window());
    painter.drawPixmap(0, 0, MapLayer(m_mapPictures, QStringLiteral(":/maps/map%1.png"), painter.device()));
    const std::vector<PalListRow> rows = m_listRows ? m_listRows() : std::vector<PalListRow>{};
    m_aIconSlots.Rebuild(m_app, rows, [&](const CPenPal& pal) { DrawPal(painter, pal); });
    // The place names go over the icons, so that both stay readable.
    painter.drawPixmap(0, 0, MapLayer(m_labelPictures, QStringLiteral(":/maps/labels%1.argb"), painter.device()));
}

void CMapView::DrawPal(QPainter& painter, const CPenPal& pal) {
    const int side = pal.m_bUsePicture == 1 ? kMapPictureBox : kMapIconSize;
    if (!TouchesDrawing(pal.m_nMapX, pal.m_nMapY, side, size())) return;
    if (pal.m_bUsePicture == 0) {
        const QPixmap icon = FaceIconForScreen(pal.m_nFaceIcon, kMapIconSize, painter.device()->devicePixelRatioF());
        if (!icon.isNull()) painter.drawPixmap(pal.m_nMapX, pal.m_nMapY, icon);
    } else if (pal.m_bUsePicture == 1) {
        m_pictures.DrawPicture(painter, pal.m_strPictureFile, pal.m_nMapX, pal.m_nMapY, kMapPictureBox);
    }
}

// The current map's layer for the drawing's pixel ratio, loaded once per ratio. Positions
// stay in the 400 x 400 pixels of the map; only the device pixels double.
const QPixmap& CMapView::MapLayer(MapPictures& pictures, const QString& path, const QPaintDevice* device) {
    static const QPixmap none;
    const int index = m_app.m_nCurrentMap;
    if (index < 0 || index >= kMapCount) return none;
    const qreal ratio = device->devicePixelRatioF();
    QPixmap& picture = pictures[static_cast<std::size_t>(index)];
    if (picture.isNull() || UsesDoublePictures(picture.devicePixelRatioF()) != UsesDoublePictures(ratio))
        picture = LoadPicture(path.arg(index), ratio);
    return picture;
}

void CMapView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_drawing);
    const int picked = hasFocus() ? PickedIcon() : -1;
    if (picked < 0) return;
    // The focus mark: a ring in the highlight colour with a light edge, seen on any map.
    const QRect box = IconRect(picked).adjusted(-2, -2, 1, 1);
    painter.setPen(QPen(Qt::white, 4));
    painter.drawRect(box);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    painter.drawRect(box);
}

void CMapView::resizeEvent(QResizeEvent*) { RedrawNow(); }

void CMapView::TestCursor() {
    if (m_bDragging) {
        setCursor(DragCursor());
        return;
    }
    const int hit = m_aIconSlots.HitTest(m_ptLastMouse.x(), m_ptLastMouse.y());
    m_bOverIcon = hit >= 0;
    if (m_bOverIcon) {
        m_nOverIcon = hit;
        setCursor(MoveCursor());
    } else {
        unsetCursor();
    }
}

void CMapView::ShowNameTag(QPoint point) {
    if (m_nOverIcon >= m_aIconSlots.Count()) return;
    m_wndNamePopup->SetText(m_aIconSlots.Slot(m_nOverIcon).strHandleName);
    m_wndNamePopup->move(mapToGlobal(point) + QPoint(kMapIconSize, 0));
    m_wndNamePopup->show();
}

void CMapView::mouseMoveEvent(QMouseEvent* event) {
    m_ptLastMouse = event->position().toPoint();
    TestCursor();
    if (m_bOverIcon || m_bDragging)
        ShowNameTag(m_ptLastMouse);
    else
        m_wndNamePopup->hide();
}

void CMapView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    m_ptLastMouse = event->position().toPoint();
    TestCursor();
    if (!m_bOverIcon) return;
    m_ptDragStart = m_ptLastMouse;
    m_bDragging = true;
    setCursor(DragCursor());
}

void CMapView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_bDragging) return;
    {
        CWaitCursor wait;
        m_bDragging = false;
        const QPoint point = event->position().toPoint();
        // The slots may have been rebuilt during the drag; a slot that is gone moves nothing.
        if (m_nOverIcon < m_aIconSlots.Count())
            MoveIcon(m_nOverIcon, point - m_ptDragStart);
        else
            RedrawNow();
    }
    m_wndNamePopup->hide();
    m_ptLastMouse = event->position().toPoint();
    TestCursor();
}

void CMapView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mouseDoubleClickEvent(event);
    const QPoint point = event->position().toPoint();
    EditPalsAtPoint(m_app, m_aIconSlots, point.x(), point.y(), [this] { RedrawNow(); });
}

void CMapView::MoveIcon(int k, QPoint moved) {
    MovePalOnMap(m_app, m_aIconSlots.Slot(k).strMailAddress, moved.x(), moved.y());
    RedrawNow();
}

int CMapView::SlotOf(const std::string& address) const {
    if (address.empty()) return -1;
    for (int k = 0; k < m_aIconSlots.Count(); ++k)
        if (m_aIconSlots.Slot(k).strMailAddress == address) return k;
    return -1;
}

int CMapView::PickedIcon() const { return SlotOf(m_strPickedAddress); }

void CMapView::PickIcon(int k) {
    if (k < 0 || k >= m_aIconSlots.Count()) return;
    m_strPickedAddress = m_aIconSlots.Slot(k).strMailAddress;
    // Selecting in the list redraws the map, which may rebuild the slots.
    if (m_pick) m_pick(m_strPickedAddress);
    update();
    const int picked = PickedIcon();
    if (picked < 0 || !hasFocus()) return;
    QAccessibleEvent focus(this, QAccessible::Focus);
    focus.setChild(picked);
    QAccessible::updateAccessibility(&focus);
}

QRect CMapView::IconRect(int k) const {
    const MapIconSlot& slot = m_aIconSlots.Slot(k);
    return {slot.nX, slot.nY, kMapIconSize, kMapIconSize};
}

QString CMapView::IconName(int k) const {
    return QString::fromUtf8(texts::kMapIconAccessibleName)
        .arg(ToQString(m_aIconSlots.Slot(k).strHandleName), ToQString(m_app.m_strCurrentMap));
}

void CMapView::keyPressEvent(QKeyEvent* event) {
    const std::optional<MapDirection> direction = ArrowDirection(event->key());
    if (!direction) return QWidget::keyPressEvent(event);
    const Qt::KeyboardModifiers mods = event->modifiers();
    const MapKeyAction action = DecideMapKey(*direction, mods & Qt::ShiftModifier, mods & Qt::ControlModifier,
                                             mods & (Qt::AltModifier | Qt::MetaModifier));
    const int picked = PickedIcon();
    if (action.kind == MapKeyAction::Kind::Pick) {
        std::vector<MapPosition> icons;
        for (int k = 0; k < m_aIconSlots.Count(); ++k)
            icons.push_back({m_aIconSlots.Slot(k).nX, m_aIconSlots.Slot(k).nY});
        PickIcon(NearestIconInDirection(icons, picked, *direction));
    } else if (action.kind == MapKeyAction::Kind::Move && picked >= 0) {
        MoveIcon(picked, {action.nDx, action.nDy});
    } else {
        return QWidget::keyPressEvent(event);
    }
    event->accept();
}

void CMapView::focusInEvent(QFocusEvent* event) {
    // Coming to the map, the keyboard works on the pal selected in the list, if it is shown.
    if (PickedIcon() < 0 && m_listRows)
        for (const PalListRow& row : m_listRows())
            if (row.bSelected && SlotOf(row.strMailAddress) >= 0) {
                m_strPickedAddress = row.strMailAddress;
                break;
            }
    QWidget::focusInEvent(event);
    update();
}

void CMapView::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}
