// The map bar: the choice of the map shown, applied as soon as the user makes it.
#pragma once

#include <QWidget>

class CMapView;
class QComboBox;

// Fills `combo` with the nine map names (entry i is map i), selects 関東, applies that
// choice to `view`, and from then on applies every choice at once.
void ConnectMapCombo(QComboBox& combo, CMapView& view);

// The label "マップ" and the map combo, ready to be put into a tool bar.
class CMapBar : public QWidget {
public:
    explicit CMapBar(CMapView& view, QWidget* parent = nullptr);
    QComboBox& Combo() const { return *m_combo; }

private:
    QComboBox* m_combo;
};
