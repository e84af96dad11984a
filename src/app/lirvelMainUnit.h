#pragma once

#include "util/lirvel_host.h"

#include <QMainWindow>

class QAction;
class QLabel;
class QStatusBar;
class QToolBar;
class QTreeView;
class QStandardItemModel;
class TBookViewer;
class TSplitter;

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

    QToolBar* ToolBar1;
    QAction* actHelp;
    QAction* actConfig;
    QAction* actClose;
    QStatusBar* StatusBar1;
    QLabel* StatusPanels[3];
    QLabel* ImageTemp;
    QTreeView* TLV;
    TSplitter* Splitter1;
    QWidget* Panel1;
    TBookViewer* BookViewer1;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormClose();
    void actHelpExecute();
    void actConfigExecute();
    void actCloseExecute();

    QStandardItemModel* FColumns;
};

extern TMainForm* MainForm;

// Set when the main window has closed: the event loop must not start, or ends at once.
extern bool ApplicationTerminated;
