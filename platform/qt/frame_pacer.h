#pragma once

// A window repaints at most once per frame. Every change of a control asks
// its window for a repaint on the next turn of the event loop, and a burst of
// datagrams turns the loop once per datagram: without pacing the window
// would lay out, shape and paint its rows hundreds of times a second, far
// more often than any screen shows them.

#include <QElapsedTimer>
#include <QTimer>

class QWidget;

class FramePacer {
public:
    explicit FramePacer(QWidget* window);

    // True when the window's update request comes within a frame of its last
    // repaint: it is then put off, and one request at the frame's end paints
    // everything that changed meanwhile.
    bool PutOff();

private:
    void PostAtFrameEnd();

    QWidget* m_window;
    QElapsedTimer m_sinceRepaint;
    QTimer m_frameEnd;
    bool m_frameEnded = false;
};
