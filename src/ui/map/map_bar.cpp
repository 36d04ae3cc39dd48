#include "ui/map/map_bar.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>

#include "core/maps.h"
#include "core/texts.h"
#include "ui/map/map_view.h"

namespace {

constexpr int kStartMap = 2;  // every start shows 関東

}  // namespace

void ConnectMapCombo(QComboBox& combo, CMapView& view) {
    combo.clear();
    for (const char* name : texts::kMapNames) combo.addItem(QString::fromUtf8(name));
    combo.setCurrentIndex(kStartMap);
    view.ApplyMapChoice(combo.currentIndex());
    QObject::connect(&combo, &QComboBox::currentIndexChanged, &view, &CMapView::ApplyMapChoice);
}

CMapBar::CMapBar(CMapView& view, QWidget* parent) : QWidget(parent), m_combo(new QComboBox(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(new QLabel(QString::fromUtf8(texts::kMapBarLabel), this));
    layout->addWidget(m_combo);
    ConnectMapCombo(*m_combo, view);
}
