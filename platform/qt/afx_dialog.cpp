#include "afx_dialog.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>

#include "app_internal.h"
#include "desktop_font.h"
#include "dialog_controls.h"
#include "dialog_widget.h"
#include "event_hold.h"
#include "win_resource.h"
#include "wnd_internal.h"

namespace {

// A close request that comes while a blocking call waits is delivered after it.
constexpr uintptr_t kCloseRequest = ~uintptr_t{0};

QFont DialogFont(const DialogTemplate& dialogTemplate)
{
    if ((dialogTemplate.style & DS_SETFONT) && dialogTemplate.fontName)
        return platform::DesktopScaledFont(dialogTemplate.fontName, dialogTemplate.fontPointSize);
    return QFont();
}

// As on the system, a control that follows a static text in the template
// is named by it: assistive technology reads the label with the control.
void NameAfterLabel(QWidget* control, QLabel* label)
{
    if (label && !qobject_cast<QLabel*>(control))
        label->setBuddy(control);
}

void BuildFromTemplate(CDialog* dialog, DialogWidget* widget, const DialogTemplate& dialogTemplate)
{
    QFont font = DialogFont(dialogTemplate);
    widget->setFont(font);
    platform::BaseUnits units = platform::BaseUnitsOf(font);
    QLabel* previousLabel = nullptr;
    for (int i = 0; i < dialogTemplate.itemCount; ++i) {
        QWidget* control = platform::CreateDialogControl(dialog, widget, dialogTemplate.items[i], units);
        NameAfterLabel(control, previousLabel);
        previousLabel = qobject_cast<QLabel*>(control);
    }
    QRect client = platform::MapDialogRect(units, 0, 0, dialogTemplate.cx, dialogTemplate.cy);
    widget->resize(client.size());
    widget->setWindowTitle(QString::fromLocal8Bit(dialogTemplate.caption ? dialogTemplate.caption : ""));
}

void FocusFirstTabStop(QWidget* dialog)
{
    for (QWidget* child : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->focusPolicy() != Qt::NoFocus && child->isEnabled() && !child->isHidden()) {
            child->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

}  // namespace

// ---- DialogWidget -------------------------------------------------------

DialogWidget::DialogWidget(CDialog* owner)
    : QDialog(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_owner(owner)
{
    setSizeGripEnabled(false);
}

void DialogWidget::UpdateMinimumSize()
{
    MINMAXINFO info{};
    platform::Dispatch(m_owner, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    RECT frame{};
    AdjustWindowRect(&frame, m_owner->GetStyle(), FALSE);
    int width = info.ptMinTrackSize.x - (frame.right - frame.left);
    int height = info.ptMinTrackSize.y - (frame.bottom - frame.top);
    setMinimumSize(std::max(width, 0), std::max(height, 0));
}

void DialogWidget::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    platform::Dispatch(m_owner, WM_SIZE, 0, MAKELPARAM(width(), height()));
}

void DialogWidget::paintEvent(QPaintEvent* event)
{
    platform::Dispatch(m_owner, WM_PAINT, 0, 0, [this, event] {
        QDialog::paintEvent(event);
        return LRESULT{0};
    });
}

void DialogWidget::closeEvent(QCloseEvent* event)
{
    event->ignore();
    platform::DeliverOrHold(m_owner, kCloseRequest, [this] { SendCommand(IDCANCEL); });
}

void DialogWidget::keyPressEvent(QKeyEvent* event)
{
    const bool plain = event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier;
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        SendCommand(IDOK);
    } else if (plain && event->key() == Qt::Key_Escape) {
        SendCommand(IDCANCEL);
    } else if (event->key() == Qt::Key_F4 && event->modifiers() == Qt::AltModifier) {
        close();
    } else {
        event->ignore();
    }
}

void DialogWidget::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        platform::Dispatch(m_owner, WM_SIZE, 0, MAKELPARAM(width(), height()));
}

bool DialogWidget::event(QEvent* event)
{
    if (event->type() == QEvent::UpdateRequest && m_framePacer.PutOff())
        return true;
    return QDialog::event(event);
}

void DialogWidget::PostUpdateRequest()
{
    QCoreApplication::postEvent(this, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
}

void DialogWidget::reject() { SendCommand(IDCANCEL); }

void DialogWidget::SendCommand(int id)
{
    platform::Dispatch(m_owner, WM_COMMAND, MAKEWPARAM(id, static_cast<int>(BN_CLICKED)), 0);
}

// ---- CDialog ------------------------------------------------------------

INT_PTR CDialog::DoModal()
{
    const DialogTemplate* dialogTemplate = FindDialogResource(m_templateId);
    if (!dialogTemplate)
        return -1;
    auto* widget = new DialogWidget(this);
    platform::Attach(this, widget, dialogTemplate->style);
    GetImpl()->exStyle = dialogTemplate->exStyle;
    BuildFromTemplate(this, widget, *dialogTemplate);
    widget->UpdateMinimumSize();

    m_ended = false;
    m_result = -1;
    if (OnInitDialog())
        FocusFirstTabStop(widget);
    if (!m_ended) {
        widget->UpdateMinimumSize();
        // Without a display nobody sees the window: it runs unshown, so
        // nothing of it is laid out, shaped or painted.
        if (!platform::IsHeadless())
            widget->show();
        QEventLoop loop;
        m_modalLoop = &loop;
        loop.exec();
        m_modalLoop = nullptr;
    }
    SendMessage(WM_DESTROY);
    platform::Detach(this);
    delete widget;
    return m_result;
}

void CDialog::EndDialog(int result)
{
    m_result = result;
    m_ended = true;
    if (QWidget* widget = platform::WidgetOf(this))
        widget->hide();
    if (m_modalLoop)
        static_cast<QEventLoop*>(m_modalLoop)->quit();
}
