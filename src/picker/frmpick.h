// The "Screen Color" preview that floats above the frozen screen while picking.
#pragma once

#include "color/bascommon.h"

#include <QWidget>

class ColorLabel;

class frmpick : public QWidget
{
    Q_OBJECT
public:
    // A child of the picking window, so that it stays above it with and without a window manager.
    explicit frmpick(QWidget *pickingWindow);

    void showColor(Color color);
    Color shownColor() const;

signals:
    void cmdStop_Click();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    ColorLabel *m_preview;
};
