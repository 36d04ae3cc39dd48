#include "ui/main/map_pane.h"

#include <QPainter>

#include "core/yubino_app.h"
#include "ui/qt_text.h"

CMapPlaceholder::CMapPlaceholder(const CYubinoApp& app, QWidget* parent) : QWidget(parent), m_app(app) {
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

void CMapPlaceholder::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawText(rect(), Qt::AlignCenter, ToQString(m_app.m_strCurrentMap));
}

CMapPane* CreateMapPane(CYubinoApp& app, CPictureCache&, QWidget* parent) { return new CMapPlaceholder(app, parent); }
