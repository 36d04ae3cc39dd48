#include "ui/map/map_accessible.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <map>
#include <string>

#include "ui/map/map_view.h"

namespace {

// One icon, known by its pal's address so that it stays the same item across redraws.
class CMapIconAccessible : public QAccessibleInterface {
public:
    CMapIconAccessible(CMapView* view, std::string address) : m_view(view), m_strAddress(std::move(address)) {}

    bool isValid() const override { return Slot() >= 0; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_view ? m_view->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_view.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    void setText(QAccessible::Text, const QString&) override {}

    QString text(QAccessible::Text kind) const override {
        const int slot = Slot();
        return kind == QAccessible::Name && slot >= 0 ? m_view->IconName(slot) : QString();
    }

    QRect rect() const override {
        const int slot = Slot();
        if (slot < 0) return {};
        const QRect box = m_view->IconRect(slot);
        return {m_view->mapToGlobal(box.topLeft()), box.size()};
    }

    QAccessible::State state() const override {
        QAccessible::State state;
        const int slot = Slot();
        if (slot < 0) return state;
        state.focusable = true;
        state.selectable = true;
        const bool picked = m_view->PickedIcon() == slot;
        state.focused = picked && m_view->hasFocus();
        state.selected = picked;
        return state;
    }

private:
    int Slot() const {
        if (!m_view) return -1;
        const CMapIconSlots& icons = m_view->IconSlots();
        for (int k = 0; k < icons.Count(); ++k)
            if (icons.Slot(k).strMailAddress == m_strAddress) return k;
        return -1;
    }

    QPointer<CMapView> m_view;
    std::string m_strAddress;
};

class CMapAccessible : public QAccessibleWidget {
public:
    explicit CMapAccessible(CMapView* view) : QAccessibleWidget(view, QAccessible::List) {}
    ~CMapAccessible() override {
        for (const auto& [address, id] : m_icons) QAccessible::deleteAccessibleInterface(id);
    }
    CMapAccessible(const CMapAccessible&) = delete;
    CMapAccessible& operator=(const CMapAccessible&) = delete;

    int childCount() const override { return View()->IconSlots().Count(); }

    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) return nullptr;
        const std::string& address = View()->IconSlots().Slot(index).strMailAddress;
        auto found = m_icons.find(address);
        if (found == m_icons.end()) {
            const QAccessible::Id id =
                QAccessible::registerAccessibleInterface(new CMapIconAccessible(View(), address));
            found = m_icons.emplace(address, id).first;
        }
        return QAccessible::accessibleInterface(found->second);
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        for (int k = 0; k < childCount(); ++k)
            if (this->child(k) == child) return k;
        return -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint point = View()->mapFromGlobal(QPoint(x, y));
        // The icon drawn last lies on top.
        for (int k = childCount() - 1; k >= 0; --k)
            if (View()->IconRect(k).contains(point)) return child(k);
        return nullptr;
    }

    QAccessibleInterface* focusChild() const override {
        const int picked = View()->hasFocus() ? View()->PickedIcon() : -1;
        return picked >= 0 ? child(picked) : nullptr;
    }

private:
    CMapView* View() const { return static_cast<CMapView*>(widget()); }

    mutable std::map<std::string, QAccessible::Id> m_icons;
};

QAccessibleInterface* MapAccessibleFactory(const QString&, QObject* object) {
    if (auto* view = dynamic_cast<CMapView*>(object)) return new CMapAccessible(view);
    return nullptr;
}

}  // namespace

void InstallMapAccessibility() {
    static const bool installed = (QAccessible::installFactory(&MapAccessibleFactory), true);
    (void)installed;
}
