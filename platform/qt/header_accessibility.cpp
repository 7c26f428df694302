#include "header_accessibility.h"

#include <QAccessibleWidget>
#include <QPointer>

#include <map>

#include "list_view_widget.h"

namespace platform {
namespace {

const QString kClick = QStringLiteral("click");

class HeaderSectionAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    HeaderSectionAccessible(ListHeaderView* header, int logical) : m_header(header), m_logical(logical) {}

    bool isValid() const override { return m_header && m_logical < m_header->count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_header ? m_header->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_header); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::Role role() const override { return QAccessible::ColumnHeader; }

    QString text(QAccessible::Text type) const override
    {
        if (!m_header)
            return {};
        if (type == QAccessible::Name)
            return m_header->SectionTitle(m_logical);
        if (type == QAccessible::Description)
            return m_header->SectionSortText(m_logical);
        return {};
    }

    QRect rect() const override
    {
        if (!m_header || m_header->isSectionHidden(m_logical))
            return {};
        const QRect local(m_header->sectionViewportPosition(m_logical), 0, m_header->sectionSize(m_logical),
                          m_header->height());
        return QRect(m_header->viewport()->mapToGlobal(local.topLeft()), local.size());
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.focusable = true;
        state.focused = m_header && m_header->hasFocus() && m_header->KeyboardSection() == m_logical;
        state.invisible = !m_header || m_header->isSectionHidden(m_logical) || !m_header->isVisible();
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }

    QStringList actionNames() const override { return {kClick}; }
    QString localizedActionDescription(const QString& name) const override
    {
        return name == kClick ? QStringLiteral("Sorts the list by this column") : QString();
    }
    QStringList keyBindingsForAction(const QString& name) const override
    {
        return name == kClick ? QStringList{QStringLiteral("Space")} : QStringList();
    }
    void doAction(const QString& name) override
    {
        if (name == kClick && m_header)
            m_header->ClickSection(m_logical);
    }

private:
    QPointer<ListHeaderView> m_header;
    int m_logical;
};

// The header's sections, in the order they are shown; each section's
// interface is made once and lives as long as the header's.
class HeaderAccessible : public QAccessibleWidget {
public:
    explicit HeaderAccessible(ListHeaderView* header) : QAccessibleWidget(header, QAccessible::List) {}
    ~HeaderAccessible() override
    {
        for (const auto& [logical, id] : m_sections)
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return Header()->count(); }

    QAccessibleInterface* child(int index) const override
    {
        const int logical = Header()->logicalIndex(index);
        if (logical < 0)
            return nullptr;
        auto found = m_sections.find(logical);
        if (found == m_sections.end()) {
            auto* section = new HeaderSectionAccessible(Header(), logical);
            found = m_sections.emplace(logical, QAccessible::registerAccessibleInterface(section)).first;
        }
        return QAccessible::accessibleInterface(found->second);
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (const auto& [logical, id] : m_sections) {
            if (QAccessible::accessibleInterface(id) == child)
                return Header()->visualIndex(logical);
        }
        return -1;
    }

    QAccessibleInterface* focusChild() const override
    {
        return Header()->hasFocus() ? child(Header()->visualIndex(Header()->KeyboardSection())) : nullptr;
    }

    QAccessibleInterface* childAt(int x, int y) const override
    {
        const QPoint local = Header()->viewport()->mapFromGlobal(QPoint(x, y));
        const int logical = Header()->logicalIndexAt(local);
        return logical < 0 ? nullptr : child(Header()->visualIndex(logical));
    }

private:
    ListHeaderView* Header() const { return static_cast<ListHeaderView*>(widget()); }

    mutable std::map<int, QAccessible::Id> m_sections;
};

}  // namespace

QAccessibleInterface* HeaderAccessibilityFactory(const QString&, QObject* object)
{
    auto* header = dynamic_cast<ListHeaderView*>(object);
    return header ? new HeaderAccessible(header) : nullptr;
}

}  // namespace platform
