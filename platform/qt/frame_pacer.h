#pragma once

// Work for the screen done at most once per frame. Every change of a control
// asks for a repaint on the next turn of the event loop, and a burst of
// datagrams turns the loop once per datagram: without pacing a window would
// lay out, shape and paint its rows hundreds of times a second, far more
// often than any screen shows them.

#include <QElapsedTimer>
#include <QTimer>

#include <functional>

class FramePacer {
public:
    explicit FramePacer(std::function<void()> atFrameEnd);

    // True when the work comes within a frame of the last time it was done:
    // it is then put off, and the frame's end does it once for everything
    // that came meanwhile.
    bool PutOff();

private:
    void EndFrame();

    std::function<void()> m_atFrameEnd;
    QElapsedTimer m_sinceRepaint;
    QTimer m_frameEnd;
    bool m_frameEnded = false;
};
