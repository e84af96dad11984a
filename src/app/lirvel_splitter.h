#pragma once

#include <QWidget>

// A splitter bar that resizes one neighbouring control by dragging: the control keeps the fixed
// size the user gave it, so that the size the configuration file stores is exactly the one shown.
class TSplitter : public QWidget
{
    Q_OBJECT
public:
    // Horizontal drag (a vertical bar) resizes the width of a control on the bar's right;
    // vertical drag (a horizontal bar) resizes the height of a control above the bar.
    TSplitter(Qt::Orientation dragDirection, QWidget* resized, int thickness, QWidget* parent);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    Qt::Orientation FDirection;
    QWidget* FResized;
    int FStartPos = 0;
    int FStartSize = 0;
    bool FDragging = false;
};
