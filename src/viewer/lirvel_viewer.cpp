#include "viewer/lirvel_viewer.h"

#include "app/lirvelMainUnit.h"
#include "app/lirvel_splitter.h"
#include "books/lirvel_book_item.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

QLabel* CardLabel(const char* name, QWidget* parent)
{
    auto* label = new QLabel(name, parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setContentsMargins(16, 0, 16, 0);
    return label;
}

} // namespace

TBookViewer::TBookViewer(QWidget* parent) : QWidget(parent)
{
    setObjectName("BookViewer1");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName("ToolBar1");
    ToolBar1->setIconSize(QSize(16, 16));
    layout->addWidget(ToolBar1);

    LabelPublish = CardLabel("LabelPublish", this);
    QFont italic = LabelPublish->font();
    italic.setItalic(true);
    LabelPublish->setFont(italic);
    LabelGenre = CardLabel("LabelGenre", this);
    LabelAuthor = CardLabel("LabelAuthor", this);
    QFont bold = LabelAuthor->font();
    bold.setBold(true);
    LabelAuthor->setFont(bold);
    LabelSerie = CardLabel("LabelSerie", this);
    LabelTitle = CardLabel("LabelTitle", this);
    QFont title = LabelTitle->font();
    title.setPixelSize(19);
    LabelTitle->setFont(title);
    for (QLabel* label : {LabelPublish, LabelGenre, LabelAuthor, LabelSerie, LabelTitle})
        layout->addWidget(label);

    Cover = new QLabel(this);
    Cover->setObjectName("Cover");
    Cover->setAlignment(Qt::AlignCenter);
    Cover->setFixedHeight(211);
    Cover->setContentsMargins(16, 8, 16, 0);
    Cover->setAccessibleName("Обложка");
    layout->addWidget(Cover);

    Splitter1 = new TSplitter(Qt::Vertical, Cover, 5, this);
    Splitter1->setObjectName("Splitter1");
    layout->addWidget(Splitter1);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setReadOnly(true);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setPlainText("Memo1");
    Memo1->setAccessibleName("Аннотация");
    layout->addWidget(Memo1, 1);
}

void TBookViewer::InitViewer()
{
    if (MainForm)
        MainForm->HideCard();
}

void TBookViewer::ShowBook(TBookItem* book)
{
    CurrentBook = book;
    if (!MainForm)
        return;
    MainForm->HideCard();
    if (!book)
        return;
    LabelTitle->setText(QString::fromStdString(book->BookName));
    MainForm->ShowCard();
}
