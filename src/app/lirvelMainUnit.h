#pragma once

#include "app/lirvel_tree_model.h"
#include "util/lirvel_host.h"

#include <QIcon>
#include <QList>
#include <QMainWindow>
#include <memory>

class QAction;
class QLabel;
class QStatusBar;
class QToolBar;
class TBookViewer;
class TSplitter;
class TStatusPanel;

// The main window: tool bar, navigation tree-list, book card on the right, status bar. It is
// also the host through which the load reaches the windows.
class TMainForm : public QMainWindow, public TAppHost
{
    Q_OBJECT
  public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    void FormCreate();
    void HideCard();
    void ShowCard();
    void OpenInReader(const std::string& path);

    // The tree-list's events: a row was selected (never none), a double click, a key pressed
    // (a character code; 27 is Esc). The key is not consumed.
    void TLVSelect(TTreeRow* row);
    void TLVDblClick();
    void FormKeyPress(int key);

    // Status bar panel texts; each panel is as wide as its text plus 8 pixels.
    void SetPanelText(int panel, const QString& text);
    QString PanelText(int panel) const;

    // TAppHost
    void ProcessMessages() override;
    void SetMax(int max) override;
    void Step() override;
    void SetFormValue(TFormValue value, int pixels) override;
    int FormValue(TFormValue value) const override;
    void ShowBookCount(int count) override;
    void ExecuteConfig() override;
    TTreeList* TreeList() override { return FTree.get(); }

    QToolBar* ToolBar1;
    QAction* actHelp;
    QAction* actConfig;
    QAction* actClose;
    QStatusBar* StatusBar1;
    TStatusPanel* StatusPanels[3];
    QLabel* ImageTemp;
    TTreeListView* TLV;
    TSplitter* Splitter1;
    QWidget* Panel1;
    TBookViewer* BookViewer1;
    // The 21 images of the tool bar, the tree rows and the card, by image index; an image that
    // is missing from the resources is a null icon.
    QList<QIcon> ImageList1;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void FormClose();
    void actHelpExecute();
    void actConfigExecute();
    void actCloseExecute();

    // The rows live as long as the window; the model over them is freed first.
    std::unique_ptr<TTreeList> FTree;
    TTreeModel* FModel;
};

extern TMainForm* MainForm;

// Set when the main window has closed: the event loop must not start, or ends at once.
extern bool ApplicationTerminated;
