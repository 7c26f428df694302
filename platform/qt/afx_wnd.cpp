#include "afx_wnd.h"

#include <QAbstractButton>
#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <QVariant>

#include "event_hold.h"
#include "win_resource.h"
#include "wnd_internal.h"

namespace {

constexpr const char* kWindowProperty = "quorvel.cwnd";

// The CWnd made by FromHandle for a window that has no permanent one.
class TemporaryWindowHolder : public QObject {
public:
    explicit TemporaryWindowHolder(QWidget* widget) : QObject(widget) {}
    ~TemporaryWindowHolder() override
    {
        platform::Detach(&window);
    }
    CWnd window;
};

QString ToQString(const char* text) { return QString::fromLocal8Bit(text ? text : ""); }

}  // namespace

namespace platform {

QWidget* WidgetOf(const CWnd* window)
{
    return window && window->GetImpl() ? window->GetImpl()->widget.data() : nullptr;
}

CWnd* WindowOf(const QWidget* widget)
{
    return widget ? static_cast<CWnd*>(widget->property(kWindowProperty).value<void*>()) : nullptr;
}

void Attach(CWnd* window, QWidget* widget, DWORD style)
{
    window->GetImpl()->widget = widget;
    QVariant templateStyle = widget->property(kTemplateStyleProperty);
    window->GetImpl()->style = templateStyle.isValid() ? templateStyle.toUInt() : style;
    window->m_hWnd = reinterpret_cast<HWND>(widget);
    widget->setProperty(kWindowProperty, QVariant::fromValue<void*>(window));
}

void Detach(CWnd* window)
{
    CWnd::Impl* impl = window->GetImpl();
    for (auto& [id, timer] : impl->timers) {
        CancelHeld(window, id);
        delete timer;
    }
    impl->timers.clear();
    if (impl->widget && WindowOf(impl->widget) == window)
        impl->widget->setProperty(kWindowProperty, QVariant());
    impl->widget = nullptr;
    window->m_hWnd = nullptr;
}

LRESULT Dispatch(CWnd* window, UINT message, WPARAM wParam, LPARAM lParam,
                 std::function<LRESULT()> defaultProcessing)
{
    UINT code = 0;
    UINT id = 0;
    if (message == WM_COMMAND) {
        code = HIWORD(wParam);
        id = LOWORD(wParam);
    } else if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        code = header->code;
        id = static_cast<UINT>(header->idFrom);
    }
    if (!defaultProcessing)
        defaultProcessing = [] { return LRESULT{0}; };
    const AFX_MSGMAP_ENTRY* entry = window->FindMessageEntry(message, code, id);
    if (!entry)
        return defaultProcessing();
    CWnd::Impl* impl = window->GetImpl();
    impl->defaults.push_back(std::move(defaultProcessing));
    LRESULT result = 0;
    LRESULT returned = entry->handler(window, wParam, lParam, &result);
    impl->defaults.pop_back();
    return message == WM_NOTIFY ? result : returned;
}

LRESULT NotifyParent(CWnd* control, NMHDR& header)
{
    CWnd* parent = control->GetParent();
    if (!parent)
        return 0;
    header.hwndFrom = control->m_hWnd;
    header.idFrom = static_cast<UINT_PTR>(control->GetDlgCtrlID());
    return Dispatch(parent, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header), [] { return LRESULT{0}; });
}

}  // namespace platform

// ---- CWnd ---------------------------------------------------------------

CWnd::CWnd() : m_impl(std::make_unique<Impl>()) {}

CWnd::~CWnd() { platform::Detach(this); }

CWnd* CWnd::FromHandle(HWND window)
{
    auto* widget = reinterpret_cast<QWidget*>(window);
    if (!widget)
        return nullptr;
    if (CWnd* permanent = platform::WindowOf(widget))
        return permanent;
    auto* holder = new TemporaryWindowHolder(widget);
    platform::Attach(&holder->window, widget, WS_CHILD | WS_VISIBLE);
    return &holder->window;
}

CWnd* CWnd::GetDlgItem(int id) const
{
    QWidget* widget = platform::WidgetOf(this);
    if (!widget)
        return nullptr;
    auto* child = widget->findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly);
    return child ? FromHandle(reinterpret_cast<HWND>(child)) : nullptr;
}

int CWnd::GetDlgCtrlID() const
{
    QWidget* widget = platform::WidgetOf(this);
    return widget ? widget->objectName().toInt() : 0;
}

CWnd* CWnd::GetParent() const
{
    QWidget* widget = platform::WidgetOf(this);
    if (!widget || widget->isWindow())
        return nullptr;
    return FromHandle(reinterpret_cast<HWND>(widget->parentWidget()));
}

void CWnd::SetWindowText(const char* text)
{
    QWidget* widget = platform::WidgetOf(this);
    if (!widget)
        return;
    QString value = ToQString(text);
    if (widget->isWindow())
        widget->setWindowTitle(value);
    else if (!widget->setProperty("text", value))
        widget->setWindowTitle(value);
}

std::string CWnd::GetWindowText() const
{
    QWidget* widget = platform::WidgetOf(this);
    if (!widget)
        return {};
    QVariant text = widget->isWindow() ? QVariant(widget->windowTitle()) : widget->property("text");
    return text.toString().toLocal8Bit().toStdString();
}

void CWnd::SetDlgItemText(int id, const char* text)
{
    if (CWnd* item = GetDlgItem(id))
        item->SetWindowText(text);
}

std::string CWnd::GetDlgItemText(int id) const
{
    CWnd* item = GetDlgItem(id);
    return item ? item->GetWindowText() : std::string();
}

BOOL CWnd::EnableWindow(BOOL enable)
{
    QWidget* widget = platform::WidgetOf(this);
    if (!widget)
        return FALSE;
    BOOL wasDisabled = !widget->isEnabled();
    widget->setEnabled(enable != FALSE);
    return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const
{
    QWidget* widget = platform::WidgetOf(this);
    return widget && widget->isEnabled();
}

BOOL CWnd::ShowWindow(int command)
{
    QWidget* widget = platform::WidgetOf(this);
    if (!widget)
        return FALSE;
    BOOL wasVisible = !widget->isHidden();
    widget->setVisible(command != SW_HIDE);
    return wasVisible;
}

BOOL CWnd::IsWindowVisible() const
{
    QWidget* widget = platform::WidgetOf(this);
    return widget && !widget->isHidden() && (widget->isWindow() || widget->isVisibleTo(widget->window()));
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint)
{
    QWidget* widget = platform::WidgetOf(this);
    if (!widget)
        return;
    widget->setGeometry(x, y, std::max(width, 0), std::max(height, 0));
    if (repaint)
        widget->update();
}

void CWnd::GetClientRect(RECT* rect) const
{
    QWidget* widget = platform::WidgetOf(this);
    *rect = RECT{};
    if (widget) {
        rect->right = widget->width();
        rect->bottom = widget->height();
    }
}

void CWnd::GetWindowRect(RECT* rect) const
{
    QWidget* widget = platform::WidgetOf(this);
    *rect = RECT{};
    if (!widget)
        return;
    QRect frame = widget->isWindow() ? widget->frameGeometry()
                                     : QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
    *rect = RECT{frame.left(), frame.top(), frame.left() + frame.width(), frame.top() + frame.height()};
}

void CWnd::ScreenToClient(POINT* point) const
{
    QWidget* widget = platform::WidgetOf(this);
    if (!widget)
        return;
    QPoint local = widget->mapFromGlobal(QPoint(point->x, point->y));
    point->x = local.x();
    point->y = local.y();
}

void CWnd::ScreenToClient(RECT* rect) const
{
    POINT topLeft{rect->left, rect->top};
    POINT bottomRight{rect->right, rect->bottom};
    ScreenToClient(&topLeft);
    ScreenToClient(&bottomRight);
    *rect = RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

void CWnd::ClientToScreen(POINT* point) const
{
    QWidget* widget = platform::WidgetOf(this);
    if (!widget)
        return;
    QPoint global = widget->mapToGlobal(QPoint(point->x, point->y));
    point->x = global.x();
    point->y = global.y();
}

void CWnd::InvalidateRect(const RECT* rect, BOOL)
{
    QWidget* widget = platform::WidgetOf(this);
    if (!widget)
        return;
    if (rect)
        widget->update(QRect(QPoint(rect->left, rect->top), QPoint(rect->right - 1, rect->bottom - 1)));
    else
        widget->update();
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT)
{
    DWORD before = m_impl->style;
    m_impl->style = (before & ~remove) | add;
    return before != m_impl->style;
}

DWORD CWnd::GetStyle() const
{
    DWORD style = m_impl->style & ~(WS_MINIMIZE | WS_VISIBLE);
    if (IsIconic())
        style |= WS_MINIMIZE;
    if (IsWindowVisible())
        style |= WS_VISIBLE;
    return style;
}

DWORD CWnd::GetExStyle() const { return m_impl->exStyle; }

BOOL CWnd::IsIconic() const
{
    QWidget* widget = platform::WidgetOf(this);
    return widget && widget->isWindow() && widget->isMinimized();
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapse, void*)
{
    QWidget* widget = platform::WidgetOf(this);
    if (!widget)
        return 0;
    QTimer*& timer = m_impl->timers[id];
    if (!timer) {
        timer = new QTimer(widget);
        // A system timer never comes due early; a coarse one may by 5 %.
        timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(timer, &QTimer::timeout, widget, [this, id] {
            platform::DeliverOrHold(this, id, [this, id] { SendMessage(WM_TIMER, id, 0); });
        });
    }
    timer->start(static_cast<int>(elapse));
    return id;
}

BOOL CWnd::KillTimer(UINT_PTR id)
{
    auto found = m_impl->timers.find(id);
    if (found == m_impl->timers.end())
        return FALSE;
    found->second->stop();
    platform::CancelHeld(this, id);
    return TRUE;
}

UINT CWnd::IsDlgButtonChecked(int id) const
{
    auto* button = qobject_cast<QAbstractButton*>(platform::WidgetOf(GetDlgItem(id)));
    return button && button->isChecked() ? 1 : 0;
}

void CWnd::CheckDlgButton(int id, UINT check)
{
    if (auto* button = qobject_cast<QAbstractButton*>(platform::WidgetOf(GetDlgItem(id))))
        button->setChecked(check != 0);
}

HICON CWnd::SetIcon(HICON icon, BOOL bigIcon)
{
    return reinterpret_cast<HICON>(SendMessage(WM_SETICON, bigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}

CWnd* CWnd::SetFocus()
{
    CWnd* previous = GetFocus();
    if (QWidget* widget = platform::WidgetOf(this))
        widget->setFocus(Qt::OtherFocusReason);
    return previous;
}

CWnd* CWnd::GetFocus()
{
    QWidget* focus = QApplication::focusWidget();
    return focus ? FromHandle(reinterpret_cast<HWND>(focus)) : nullptr;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return platform::Dispatch(this, message, wParam, lParam,
                              [=, this] { return DefWindowProc(message, wParam, lParam); });
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent)
{
    QWidget* parentWidget = platform::WidgetOf(parent);
    if (!parentWidget)
        return FALSE;
    auto* child = parentWidget->findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly);
    if (!child)
        return FALSE;
    if (CWnd* previous = platform::WindowOf(child); previous && previous != this)
        platform::Detach(previous);
    platform::Attach(this, child, WS_CHILD | WS_VISIBLE);
    return TRUE;
}

LRESULT CWnd::Default()
{
    if (m_impl->defaults.empty())
        return 0;
    return m_impl->defaults.back()();
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    QWidget* widget = platform::WidgetOf(this);
    if (message == WM_SETICON && widget) {
        auto* icon = reinterpret_cast<QIcon*>(lParam);
        if (icon && wParam == ICON_BIG)
            widget->setWindowIcon(*icon);
    }
    return 0;
}

// ---- mouse messages -----------------------------------------------------

namespace {

DWORD g_messagePos = 0;

}  // namespace

void platform::SetMessagePos(int x, int y) { g_messagePos = static_cast<DWORD>(MAKELPARAM(x, y)); }

DWORD GetMessagePos() { return g_messagePos; }

// ---- metrics ------------------------------------------------------------

namespace {

// A frame of fixed size stands for the window manager's: the program only
// converts between client and window sizes with it, and back.
constexpr int kCaptionHeight = 23;
constexpr int kSizingBorder = 8;
constexpr int kThinBorder = 1;

}  // namespace

int GetSystemMetrics(int index)
{
    switch (index) {
    case SM_CXICON:
    case SM_CYICON:
        return 32;
    default:
        return 0;
    }
}

// The window manager draws one frame for every kind of window: a tool
// window's caption is no smaller.
BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD) { return AdjustWindowRect(rect, style, menu); }

BOOL AdjustWindowRect(RECT* rect, DWORD style, BOOL)
{
    int border = (style & WS_THICKFRAME) ? kSizingBorder : ((style & (WS_CAPTION | WS_BORDER)) ? kThinBorder : 0);
    rect->left -= border;
    rect->right += border;
    rect->top -= border + (((style & WS_CAPTION) == WS_CAPTION) ? kCaptionHeight : 0);
    rect->bottom += border;
    return TRUE;
}
