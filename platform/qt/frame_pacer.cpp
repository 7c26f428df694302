#include "frame_pacer.h"

namespace {

constexpr qint64 kFrameMs = 16;

}  // namespace

FramePacer::FramePacer(std::function<void()> atFrameEnd) : m_atFrameEnd(std::move(atFrameEnd))
{
    m_frameEnd.setSingleShot(true);
    m_frameEnd.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_frameEnd, &QTimer::timeout, [this] { EndFrame(); });
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

void FramePacer::EndFrame()
{
    m_frameEnded = true;
    m_atFrameEnd();
}
