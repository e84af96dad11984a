#include "app/lirvelMainUnit.h"

#include "app/lirvel_error_report.h"
#include "app/lirvel_splash.h"
#include "app/lirvel_splitter.h"
#include "app/lirvel_status_panel.h"
#include "app/lirvel_tree_model.h"
#include "books/lirvel_book_item.h"
#include "books/lirvel_tree_list.h"
#include "settings/lirvel_dlg_params.h"
#include "settings/lirvel_dm_params.h"
#include "viewer/lirvel_viewer.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QProcess>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeView>
#include <QUrl>

TMainForm* MainForm = nullptr;
bool ApplicationTerminated = false;

namespace {

constexpr int PanelWidths[] = {100, 150, 5000};
const char* const PanelNames[] = {"Количество книг", "Дата файла книги", "Файл книги"};
constexpr int ImageCount = 21;

} // namespace

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent)
{
    setObjectName("MainForm");
    // System menu and minimise only: no maximise button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    move(352, 209);
    resize(954, 657);

    for (int i = 0; i < ImageCount; ++i)
        ImageList1.append(QIcon(QString(":/images/list/%1.png").arg(i, 2, 10, QChar('0'))));

    actHelp = new QAction("Справка", this);
    actHelp->setObjectName("actHelp");
    actHelp->setShortcut(QKeySequence(Qt::Key_F1));
    actHelp->setIcon(ImageList1[0]);
    connect(actHelp, &QAction::triggered, this, [this] { Guarded([this] { actHelpExecute(); }); });
    actConfig = new QAction("Настройка", this);
    actConfig->setObjectName("actConfig");
    actConfig->setIcon(ImageList1[2]);
    connect(actConfig, &QAction::triggered, this, [this] { Guarded([this] { actConfigExecute(); }); });
    actClose = new QAction("Выход", this);
    actClose->setObjectName("actClose");
    actClose->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    actClose->setIcon(ImageList1[1]);
    connect(actClose, &QAction::triggered, this, [this] { Guarded([this] { actCloseExecute(); }); });

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName("ToolBar1");
    ToolBar1->setMovable(false);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->addAction(actHelp);
    ToolBar1->addAction(actConfig);
    ToolBar1->addAction(actClose);
    addToolBar(Qt::TopToolBarArea, ToolBar1);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName("StatusBar1");
    StatusBar1->setSizeGripEnabled(false);
    for (int i = 0; i < 3; ++i) {
        StatusPanels[i] = new TStatusPanel(StatusBar1);
        StatusPanels[i]->setObjectName(QString("StatusPanel%1").arg(i));
        // The panel's text is what a screen reader reads as its name; this says what it is.
        StatusPanels[i]->setAccessibleDescription(PanelNames[i]);
        StatusPanels[i]->SetPanelWidth(PanelWidths[i]);
        StatusBar1->addWidget(StatusPanels[i], i == 2 ? 1 : 0);
    }
    setStatusBar(StatusBar1);

    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    ImageTemp = new QLabel(central);
    ImageTemp->setObjectName("ImageTemp");
    ImageTemp->setPixmap(QPixmap(":/images/nocover.png"));
    ImageTemp->setVisible(false);

    FTree = std::make_unique<TTreeList>();
    TLV = new TTreeListView(central);
    TLV->setObjectName("TLV");
    TLV->setAccessibleName("Книги");
    FModel = new TTreeModel(FTree.get(), &ImageList1, this);
    TLV->SetTreeModel(FModel);
    connect(TLV->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected) {
                // Only a newly selected row counts: clearing the selection is no selection.
                if (selected.isEmpty())
                    return;
                if (TTreeRow* row = FModel->RowOf(selected.indexes().first()))
                    Guarded([this, row] { TLVSelect(row); });
            });
    connect(TLV, &TTreeListView::DblClick, this, [this] { Guarded([this] { TLVDblClick(); }); });
    constexpr int ColumnWidths[] = {100, 50, 50, 50, 50, 60};
    for (int i = 0; i < 6; ++i)
        TLV->header()->resizeSection(i, ColumnWidths[i]);
    layout->addWidget(TLV, 1);

    Panel1 = new QWidget(central);
    Panel1->setObjectName("Panel1");
    Panel1->setFixedWidth(349);
    Splitter1 = new TSplitter(Qt::Horizontal, Panel1, 7, central);
    Splitter1->setObjectName("Splitter1");
    layout->addWidget(Splitter1);
    layout->addWidget(Panel1);
    auto* panelLayout = new QHBoxLayout(Panel1);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    BookViewer1 = new TBookViewer(Panel1);
    panelLayout->addWidget(BookViewer1);

    setCentralWidget(central);
}

TMainForm::~TMainForm()
{
    // The view and the model go before the rows they show.
    delete TLV;
    TLV = nullptr;
    delete FModel;
    FModel = nullptr;
}

void TMainForm::FormCreate()
{
    setWindowTitle("Лирвель 1.0.1");
    BookViewer1->InitViewer();
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    Guarded([this] { FormClose(); });
    ApplicationTerminated = true;
    QApplication::quit();
    event->accept();
}

void TMainForm::FormClose()
{
    delete SplashForm;
    SplashForm = nullptr;
}

void TMainForm::HideCard()
{
    Panel1->setVisible(false);
    Splitter1->setVisible(false);
}

void TMainForm::ShowCard()
{
    Panel1->setVisible(true);
    Splitter1->setVisible(true);
}

void TMainForm::OpenInReader(const std::string& /*path*/) {}

void TMainForm::TLVSelect(TTreeRow* row)
{
    BookViewer1->ShowBook(row->Data());
}

void TMainForm::TLVDblClick()
{
    // The first click of the double click has put the row's book on the card.
    if (BookViewer1->CurrentBook)
        OpenInReader(BookViewer1->CurrentBook->File.FileName);
}

void TMainForm::FormKeyPress(int key)
{
    if (key != 27)
        return;
    // Clearing the selection selects nothing, so the card is told separately.
    TLV->selectionModel()->clearSelection();
    BookViewer1->ShowBook(nullptr);
}

void TMainForm::keyPressEvent(QKeyEvent* event)
{
    // The keys of the tree-list and of the window itself; a key that another control (the card's
    // annotation, say) leaves unused is not the tree's.
    const QWidget* focus = focusWidget();
    if (event->key() == Qt::Key_Escape && (!focus || focus == this || focus == TLV))
        Guarded([this] { FormKeyPress(27); });
    QMainWindow::keyPressEvent(event);
}

void TMainForm::SetPanelText(int panel, const QString& text)
{
    TStatusPanel* label = StatusPanels[panel];
    label->setText(text);
    label->SetPanelWidth(label->fontMetrics().horizontalAdvance(text) + 8);
}

QString TMainForm::PanelText(int panel) const
{
    return StatusPanels[panel]->text();
}

void TMainForm::actHelpExecute()
{
    const QString page = QDir::current().filePath("help/index.html");
    if (!QFileInfo::exists(page) || !QDesktopServices::openUrl(QUrl::fromLocalFile(page)))
        throw std::runtime_error("Не удалось открыть справку: " + page.toStdString());
}

void TMainForm::actConfigExecute()
{
    if (!dlgParams->Execute())
        return;
    dmParams->SaveConfig();
    if (!QProcess::startDetached(QString::fromStdString(ExecutablePath()), {}))
        throw std::runtime_error("Не удалось запустить программу заново");
    close();
}

void TMainForm::actCloseExecute()
{
    close();
}

void TMainForm::ProcessMessages()
{
    QApplication::processEvents();
}

void TMainForm::SetMax(int max)
{
    if (SplashForm)
        SplashForm->SetMax(max);
}

void TMainForm::Step()
{
    if (SplashForm)
        SplashForm->Step();
}

void TMainForm::SetFormValue(TFormValue value, int pixels)
{
    switch (value) {
    case TFormValue::Left:
        move(pixels, y());
        break;
    case TFormValue::Top:
        move(x(), pixels);
        break;
    case TFormValue::Width:
        resize(pixels, height());
        break;
    case TFormValue::Height:
        resize(width(), pixels);
        break;
    case TFormValue::CoverHeight:
        BookViewer1->Cover->setFixedHeight(std::max(0, pixels));
        break;
    case TFormValue::PanelWidth:
        Panel1->setFixedWidth(std::max(0, pixels));
        break;
    default:
        TLV->header()->resizeSection(static_cast<int>(value) - static_cast<int>(TFormValue::NameWidth),
                                     std::max(0, pixels));
    }
}

int TMainForm::FormValue(TFormValue value) const
{
    switch (value) {
    case TFormValue::Left:
        return x();
    case TFormValue::Top:
        return y();
    case TFormValue::Width:
        return width();
    case TFormValue::Height:
        return height();
    case TFormValue::CoverHeight:
        return BookViewer1->Cover->height();
    case TFormValue::PanelWidth:
        return Panel1->width();
    default:
        return TLV->header()->sectionSize(static_cast<int>(value) - static_cast<int>(TFormValue::NameWidth));
    }
}

void TMainForm::ShowBookCount(int count)
{
    SetPanelText(0, QString("К-во: %1").arg(count));
}

void TMainForm::ExecuteConfig()
{
    actConfig->trigger();
}
