#include "frame_pacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace {

constexpr qint64 kFrameMs = 16;

}  // namespace

FramePacer::FramePacer(QWidget* window) : m_window(window)
{
    m_frameEnd.setSingleShot(true);
    m_frameEnd.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_frameEnd, &QTimer::timeout, [this] { PostAtFrameEnd(); });
}

bool FramePacer::PutOff()
{
    if (m_frameEnd.isActive())
        return true;
    const bool due = m_frameEnded || !m_sinceRepaint.isValid() || m_sinceRepaint.elapsed() >= kFrameMs;
    if (due) {
        m_frameEnded = false;
        m_sinceRepaint.start();
        return false;
    }
    m_frameEnd.start(static_cast<int>(kFrameMs - m_sinceRepaint.elapsed()));
    return true;
}

// The toolkit posts no further request while the one put off is pending, so
// the pacer posts it again itself.
void FramePacer::PostAtFrameEnd()
{
    m_frameEnded = true;
    QCoreApplication::postEvent(m_window, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
}
