#pragma once

// The top-level widget of a dialog: turns the window system's events into the
// dialog's messages.

#include <QDialog>

#include "frame_pacer.h"

class CDialog;

class DialogWidget : public QDialog {
public:
    explicit DialogWidget(CDialog* owner);

    // Applies the minimum size the dialog asks for with WM_GETMINMAXINFO.
    void UpdateMinimumSize();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    void reject() override;

private:
    void SendCommand(int id);
    void PostUpdateRequest();
    CDialog* m_owner;
    // The toolkit posts no further update request while the one put off is
    // pending, so the pacer posts it again at the frame's end.
    FramePacer m_framePacer{[this] { PostUpdateRequest(); }};
};
