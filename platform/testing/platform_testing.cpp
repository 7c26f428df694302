#include "platform_testing.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMessageBox>
#include <QMouseEvent>
#include <QThread>
#include <QTimer>

#include <algorithm>

#include <cstdlib>

#include "app_internal.h"
#include "datagram_inbox.h"
#include "list_view_widget.h"
#include "wnd_internal.h"

namespace platform::testing {

void EnsureApplication()
{
    if (QApplication::instance())
        return;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "quorvel-test";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

bool PumpUntil(const std::function<bool()>& condition, int timeoutMs)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!condition()) {
        if (elapsed.elapsed() >= timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

CWnd* ActiveDialog()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && platform::WindowOf(widget))
            return platform::WindowOf(widget);
    }
    return nullptr;
}

void ClickButton(CWnd* dialog, int id)
{
    if (auto* button = qobject_cast<QAbstractButton*>(WidgetOf(dialog->GetDlgItem(id))))
        button->click();
}

namespace {

MessageBoxIcon IconShown(const QMessageBox& box)
{
    switch (box.icon()) {
    case QMessageBox::Information:
        return MessageBoxIcon::Information;
    case QMessageBox::Question:
        return MessageBoxIcon::Question;
    case QMessageBox::Warning:
        return MessageBoxIcon::Warning;
    case QMessageBox::Critical:
        return MessageBoxIcon::Error;
    default:
        return MessageBoxIcon::None;
    }
}

}  // namespace

void WhenMessageBoxShown(std::function<void(const ShownMessageBox& box)> seen)
{
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, seen = std::move(seen)] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll->stop();
        poll->deleteLater();
        seen({box->text().toLocal8Bit().toStdString(), box->windowTitle().toLocal8Bit().toStdString(),
              IconShown(*box)});
        box->done(QMessageBox::Ok);
    });
    poll->start();
}

}  // namespace platform::testing

namespace platform::testing {

INT_PTR RunDialog(CDialog& dialog, const std::function<void()>& body)
{
    EnsureApplication();
    QTimer::singleShot(0, [&dialog, &body] {
        body();
        if (dialog.m_hWnd && dialog.IsWindowVisible())
            dialog.EndDialog(IDCANCEL);
    });
    return dialog.DoModal();
}

ReceiveQueueLimit::ReceiveQueueLimit(size_t bytes) { DatagramInbox::SetLimit(bytes); }

ReceiveQueueLimit::~ReceiveQueueLimit() { DatagramInbox::SetLimit(DatagramInbox::kDefaultLimit); }

struct BareWidget::Surface {
    QWidget widget;
};

BareWidget::BareWidget(CWnd& window) : m_window(window), m_surface(nullptr)
{
    EnsureApplication();
    m_surface = new Surface;
    platform::Attach(&m_window, &m_surface->widget, WS_POPUP);
}

BareWidget::~BareWidget()
{
    platform::Detach(&m_window);
    delete m_surface;
}

}  // namespace platform::testing

namespace platform::testing {

namespace {

ListHeaderView* ListHeaderOf(CWnd* list)
{
    auto* view = dynamic_cast<ListViewWidget*>(WidgetOf(list));
    return view ? view->Header() : nullptr;
}

void SendMouse(QWidget* target, QEvent::Type type, QPoint position, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, position, target->mapToGlobal(position), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

}  // namespace

void ClickHeaderSection(CWnd* list, int section)
{
    ListHeaderView* header = ListHeaderOf(list);
    if (!header)
        return;
    const QPoint centre(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                        header->viewport()->height() / 2);
    SendMouse(header->viewport(), QEvent::MouseButtonPress, centre, Qt::LeftButton);
    SendMouse(header->viewport(), QEvent::MouseButtonRelease, centre, Qt::NoButton);
}

int ViewRowCount(CWnd* list)
{
    auto* view = dynamic_cast<ListViewWidget*>(WidgetOf(list));
    return view ? view->topLevelItemCount() : 0;
}

std::vector<uint32_t> HeaderSectionPixels(CWnd* list, int section, int* width, int* height)
{
    ListHeaderView* header = ListHeaderOf(list);
    const QPixmap* bitmap = header ? header->SectionBitmap(section) : nullptr;
    const QImage image = bitmap ? bitmap->toImage().convertToFormat(QImage::Format_ARGB32) : QImage();
    *width = image.width();
    *height = image.height();
    std::vector<uint32_t> pixels;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
        pixels.insert(pixels.end(), row, row + image.width());
    }
    return pixels;
}

}  // namespace platform::testing
