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
    CDialog* m_owner;
    FramePacer m_framePacer{this};
};
