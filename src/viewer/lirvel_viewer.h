#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QToolBar;
class TBookItem;
class TSplitter;

// The book card: cover, title, series, authors, genres, publisher line and annotation of the book
// selected in the tree-list, with its own tool bar for the reading state and the favourite flag.
class TBookViewer : public QWidget
{
    Q_OBJECT
public:
    explicit TBookViewer(QWidget* parent = nullptr);

    void InitViewer();
    // Shows the book on the card, or hides the card for none.
    void ShowBook(TBookItem* book);

    TBookItem* CurrentBook = nullptr;

    QToolBar* ToolBar1;
    QLabel* LabelPublish;
    QLabel* LabelGenre;
    QLabel* LabelAuthor;
    QLabel* LabelSerie;
    QLabel* LabelTitle;
    QLabel* Cover;
    TSplitter* Splitter1;
    QPlainTextEdit* Memo1;
};
