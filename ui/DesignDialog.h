#pragma once

#include <QDialog>

// A dialog that keeps the window's designed key roles: Enter presses the default
// button (or the focused one), and Esc only acts where the design gives the
// window a cancel button.
class DesignDialog : public QDialog {
    Q_OBJECT
public:
    explicit DesignDialog(QWidget *parent = nullptr, Qt::WindowFlags flags = {});

    void setEscapeCloses(bool closes) { m_escapeCloses = closes; }

    // Fixes the client area to the designed size in pixels.
    void setClientSize(int width, int height);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool m_escapeCloses = false;
};
