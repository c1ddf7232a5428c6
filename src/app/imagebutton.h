// An image that acts as a button: it shows a picture with a tooltip and reports a left click.
#pragma once

#include <QLabel>

class ImageButton : public QLabel
{
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};
