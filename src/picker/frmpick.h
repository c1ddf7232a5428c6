// The "Screen Color" preview that floats above the frozen screen while picking.
#pragma once

#include "color/bascommon.h"

#include <QWidget>
#include <optional>

class ColorLabel;

class frmpick : public QWidget
{
    Q_OBJECT
public:
    // A child of the picking window, so that it stays above it with and without a window manager.
    explicit frmpick(QWidget *pickingWindow);

    // The color a pick takes; with seen, also as the view's deficiency sees it, beside it.
    void showColor(Color color, std::optional<Color> seen = std::nullopt);
    Color shownColor() const;
    std::optional<Color> seenColor() const;

signals:
    void cmdStop_Click();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    ColorLabel *m_preview;
    ColorLabel *m_seen;
};
