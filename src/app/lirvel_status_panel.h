#pragma once

#include <QLabel>

// One panel of the status bar. It asks for its panel width but never forces the window to be that
// wide: the last panel is 5000 pixels wide by design and simply runs off the edge.
class TStatusPanel : public QLabel
{
public:
    explicit TStatusPanel(QWidget* parent) : QLabel(parent)
    {
        setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
    }

    int PanelWidth() const { return FWidth; }
    void SetPanelWidth(int width)
    {
        FWidth = width;
        updateGeometry();
    }

    QSize sizeHint() const override { return QSize(FWidth, QLabel::sizeHint().height()); }
    QSize minimumSizeHint() const override { return QSize(0, QLabel::minimumSizeHint().height()); }

private:
    int FWidth = 0;
};
