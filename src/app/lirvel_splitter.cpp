#include "app/lirvel_splitter.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

TSplitter::TSplitter(Qt::Orientation dragDirection, QWidget* resized, int thickness, QWidget* parent)
    : QWidget(parent), FDirection(dragDirection), FResized(resized)
{
    if (FDirection == Qt::Horizontal) {
        setFixedWidth(thickness);
        setCursor(Qt::SplitHCursor);
    } else {
        setFixedHeight(thickness);
        setCursor(Qt::SplitVCursor);
    }
}

void TSplitter::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    FDragging = true;
    const QPoint pos = event->globalPosition().toPoint();
    FStartPos = FDirection == Qt::Horizontal ? pos.x() : pos.y();
    FStartSize = FDirection == Qt::Horizontal ? FResized->width() : FResized->height();
}

void TSplitter::mouseMoveEvent(QMouseEvent* event)
{
    if (!FDragging)
        return;
    const QPoint pos = event->globalPosition().toPoint();
    if (FDirection == Qt::Horizontal) // the control lies right of the bar: dragging left widens it
        FResized->setFixedWidth(std::max(0, FStartSize - (pos.x() - FStartPos)));
    else // the control lies above the bar: dragging down makes it taller
        FResized->setFixedHeight(std::max(0, FStartSize + (pos.y() - FStartPos)));
}

void TSplitter::mouseReleaseEvent(QMouseEvent* /*event*/) { FDragging = false; }

void TSplitter::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    QStyleOption option;
    option.initFrom(this);
    option.state = FDirection == Qt::Horizontal ? QStyle::State_Horizontal : QStyle::State_None;
    style()->drawControl(QStyle::CE_Splitter, &option, &painter, this);
}
