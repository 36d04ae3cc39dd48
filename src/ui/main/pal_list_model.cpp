#include "ui/main/pal_list_model.h"

#include <QIcon>
#include <array>

#include "core/pal_list.h"
#include "ui/face_icons.h"
#include "ui/lazy_icon.h"
#include "ui/qt_text.h"

namespace {

// The face icon at the sizes the views use: 48 for large icons, 24 elsewhere, and twice
// each for 2x screens. Each size is made when a view first asks for it, once per run.
const QIcon& FaceIconSet(int number) {
    static std::array<QIcon, kFaceIconCount> icons;
    QIcon& icon = icons[static_cast<std::size_t>(number)];
    if (icon.isNull())
        icon = LazyIcon({{24, [number] { return FaceIcon(number, 24); }},
                         {48, [number] { return FaceIcon(number, 48); }},
                         {96, [number] { return FaceIcon(number, 96); }}});
    return icon;
}

}  // namespace

void CPalListModel::SetRows(std::vector<CPenPal> rows) {
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

int CPalListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CPalListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kPalListColumnCount; }

QVariant CPalListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const CPenPal& pal = Pal(index.row());
    switch (role) {
        case Qt::DisplayRole:
            return ToQString(PalListCellText(pal, index.column()));
        case Qt::DecorationRole:
            if (index.column() == 0 && pal.m_nFaceIcon >= 0 && pal.m_nFaceIcon < kFaceIconCount)
                return FaceIconSet(pal.m_nFaceIcon);
            return {};
        default:
            return {};
    }
}

QVariant CPalListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kPalListColumnCount)
        return {};
    return QString::fromUtf8(kPalListColumns[section].title);
}
