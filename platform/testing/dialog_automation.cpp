#include "dialog_automation.h"

#include <QAccessible>
#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <QScrollBar>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <cstdlib>
#include <iterator>

#include "dialog_units.h"
#include "list_view_widget.h"
#include "platform_testing.h"
#include "wnd_internal.h"

namespace platform::testing {
namespace {

// A test acts sooner than a frame: new rows waiting to join the view join it.
QTreeWidget* TreeOf(CWnd* list)
{
    auto* view = dynamic_cast<ListViewWidget*>(WidgetOf(list));
    if (view)
        view->m_appended.Join();
    return view;
}

QPoint CellCentreInViewport(QTreeWidget* tree, int row, int column)
{
    const int rows = tree->topLevelItemCount();
    const int x = tree->header()->sectionViewportPosition(column) + tree->header()->sectionSize(column) / 2;
    if (row < rows)
        return QPoint(x, tree->visualItemRect(tree->topLevelItem(row)).center().y());
    const QRect last = rows > 0 ? tree->visualItemRect(tree->topLevelItem(rows - 1)) : QRect(0, 0, 1, 16);
    return QPoint(x, last.bottom() + (row - rows + 1) * last.height());
}

void SendMouse(QWidget* target, QEvent::Type type, const QPoint& position)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(position), QPointF(target->mapToGlobal(position)), button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

}  // namespace

POINT ListCellCentre(CWnd* list, int row, int column)
{
    QTreeWidget* tree = TreeOf(list);
    const QPoint point = CellCentreInViewport(tree, row, column) + tree->viewport()->pos();
    return POINT{point.x(), point.y()};
}

void ClickListCell(CWnd* list, int row, int column)
{
    QTreeWidget* tree = TreeOf(list);
    const QPoint point = CellCentreInViewport(tree, row, column);
    SendMouse(tree->viewport(), QEvent::MouseButtonPress, point);
    SendMouse(tree->viewport(), QEvent::MouseButtonRelease, point);
}

void PressMoveRelease(CWnd* list, POINT press, POINT release)
{
    QTreeWidget* tree = TreeOf(list);
    const QPoint offset = tree->viewport()->pos();
    const QPoint from = QPoint(press.x, press.y) - offset;
    const QPoint to = QPoint(release.x, release.y) - offset;
    SendMouse(tree->viewport(), QEvent::MouseButtonPress, from);
    SendMouse(tree->viewport(), QEvent::MouseMove, to);
    SendMouse(tree->viewport(), QEvent::MouseButtonRelease, to);
}

void ScrollListSideways(CWnd* list, int arrowClicks)
{
    QScrollBar* bar = TreeOf(list)->horizontalScrollBar();
    const auto action = arrowClicks > 0 ? QAbstractSlider::SliderSingleStepAdd : QAbstractSlider::SliderSingleStepSub;
    for (int click = 0; click < std::abs(arrowClicks); ++click)
        bar->triggerAction(action);
}

void DoubleClickListCell(CWnd* list, int row, int column)
{
    QTreeWidget* tree = TreeOf(list);
    const QPoint point = CellCentreInViewport(tree, row, column);
    SendMouse(tree->viewport(), QEvent::MouseButtonPress, point);
    SendMouse(tree->viewport(), QEvent::MouseButtonRelease, point);
    SendMouse(tree->viewport(), QEvent::MouseButtonDblClick, point);
    SendMouse(tree->viewport(), QEvent::MouseButtonRelease, point);
}

void WhenDialogShown(const std::function<void(CWnd* dialog)>& body)
{
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, body] {
        CWnd* dialog = ActiveDialog();
        if (!dialog)
            return;
        poll->stop();
        poll->deleteLater();
        body(dialog);
        if (auto* widget = WidgetOf(dialog))
            widget->close();
    });
    poll->start();
}

SIZE DialogBaseUnits(CWnd* dialog)
{
    const BaseUnits units = BaseUnitsOf(WidgetOf(dialog)->font());
    return SIZE{units.x, units.y};
}

SIZE MinimumClientSize(CWnd* window)
{
    const QSize size = WidgetOf(window)->minimumSize();
    return SIZE{size.width(), size.height()};
}

void ResizeClient(CWnd* window, int width, int height) { WidgetOf(window)->resize(width, height); }

bool WaitUntilActive(CWnd* dialog)
{
    QWidget* widget = WidgetOf(dialog);
    widget->activateWindow();
    return PumpUntil([widget] { return widget->isActiveWindow(); }, 2000);
}

void PressKey(CWnd* dialog, Key key)
{
    QWidget* top = WidgetOf(dialog);
    QWidget* target = top->focusWidget() ? top->focusWidget() : top;
    struct Stroke {
        Key key;
        int code;
        Qt::KeyboardModifiers modifiers;
        const char* text;
    };
    static const Stroke kStrokes[] = {
        {Key::Enter, Qt::Key_Return, Qt::NoModifier, "\r"},  {Key::Escape, Qt::Key_Escape, Qt::NoModifier, "\x1b"},
        {Key::AltF4, Qt::Key_F4, Qt::AltModifier, ""},        {Key::Down, Qt::Key_Down, Qt::NoModifier, ""},
        {Key::Left, Qt::Key_Left, Qt::NoModifier, ""},        {Key::Right, Qt::Key_Right, Qt::NoModifier, ""},
        {Key::Space, Qt::Key_Space, Qt::NoModifier, " "},     {Key::Tab, Qt::Key_Tab, Qt::NoModifier, "\t"},
        {Key::ShiftTab, Qt::Key_Backtab, Qt::ShiftModifier, ""},
    };
    const Stroke& stroke = *std::find_if(std::begin(kStrokes), std::end(kStrokes),
                                         [key](const Stroke& candidate) { return candidate.key == key; });
    const QString text = QString::fromLatin1(stroke.text);
    QKeyEvent press(QEvent::KeyPress, stroke.code, stroke.modifiers, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, stroke.code, stroke.modifiers, text);
    QApplication::sendEvent(target, &release);
}

void MinimizeWindow(CWnd* window) { WidgetOf(window)->setWindowState(Qt::WindowMinimized); }

std::vector<uint32_t> WindowPixels(CWnd* window, int* width, int* height)
{
    const QImage image = WidgetOf(window)->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    *width = image.width();
    *height = image.height();
    std::vector<uint32_t> pixels;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            pixels.push_back(image.pixel(x, y));
    }
    return pixels;
}

namespace {

AccessibleFacts FactsOf(QAccessibleInterface* object)
{
    AccessibleFacts facts;
    if (!object)
        return facts;
    facts.name = object->text(QAccessible::Name).toStdString();
    facts.description = object->text(QAccessible::Description).toStdString();
    if (QAccessibleActionInterface* actions = object->actionInterface()) {
        for (const QString& action : actions->actionNames())
            facts.actions.push_back(action.toStdString());
    }
    return facts;
}

QAccessibleInterface* FocusedObject(CWnd* dialog)
{
    QAccessibleInterface* object = QAccessible::queryAccessibleInterface(WidgetOf(dialog));
    for (int depth = 0; object && depth < 8; ++depth) {
        QAccessibleInterface* inner = object->focusChild();
        if (!inner || inner == object)
            break;
        object = inner;
    }
    return object;
}

}  // namespace

AccessibleFacts ControlAccessibility(CWnd* dialog, int id)
{
    CWnd* control = dialog->GetDlgItem(id);
    return FactsOf(control ? QAccessible::queryAccessibleInterface(WidgetOf(control)) : nullptr);
}

AccessibleFacts ListColumnHeaderAccessibility(CWnd* list, int column)
{
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(WidgetOf(list));
    QAccessibleInterface* cell = table ? table->child(column) : nullptr;
    return cell && cell->role() == QAccessible::ColumnHeader ? FactsOf(cell) : AccessibleFacts{};
}

AccessibleFacts FocusAccessibility(CWnd* dialog) { return FactsOf(FocusedObject(dialog)); }

bool DoFocusAction(CWnd* dialog, const std::string& action)
{
    QAccessibleInterface* object = FocusedObject(dialog);
    QAccessibleActionInterface* actions = object ? object->actionInterface() : nullptr;
    const QString name = QString::fromStdString(action);
    if (!actions || !actions->actionNames().contains(name))
        return false;
    actions->doAction(name);
    return true;
}

namespace {

QPalette DarkPalette()
{
    QPalette palette(QColor(0x35, 0x35, 0x35));
    palette.setColor(QPalette::WindowText, Qt::white);
    palette.setColor(QPalette::ButtonText, Qt::white);
    palette.setColor(QPalette::Text, Qt::white);
    palette.setColor(QPalette::Base, QColor(0x23, 0x23, 0x23));
    return palette;
}

QFont& SavedFont()
{
    static QFont saved;
    return saved;
}

QPalette& SavedPalette()
{
    static QPalette saved;
    return saved;
}

}  // namespace

DesktopFontSize::DesktopFontSize(double pointSize)
{
    EnsureApplication();
    SavedFont() = QApplication::font();
    QFont font = QApplication::font();
    font.setPointSizeF(pointSize);
    QApplication::setFont(font);
}

DesktopFontSize::~DesktopFontSize() { QApplication::setFont(SavedFont()); }

DarkDesktop::DarkDesktop()
{
    EnsureApplication();
    SavedPalette() = QApplication::palette();
    QApplication::setPalette(DarkPalette());
}

DarkDesktop::~DarkDesktop() { QApplication::setPalette(SavedPalette()); }

}  // namespace platform::testing
