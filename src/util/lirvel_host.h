#pragma once

#include <QDate>

class TTreeList;

// The sizes that the configuration file keeps, held by the controls of the main window.
enum class TFormValue {
    Left,
    Top,
    Width,
    Height,
    CoverHeight,
    PanelWidth,
    NameWidth,
    CountWidth,
    AuthorWidth,
    GenreWidth,
    SerieNameWidth,
    SerieBookWidth
};
constexpr int FormValueCount = 12;

// The design value of each size: what a file without a MainForm section leaves.
int DesignFormValue(TFormValue value);

// What the load, the scan, the merge and the tree builder need of the windows, as one narrow
// seam: the main window and the splash window implement it in the application; a test replaces it
// with a fake. The default host is windowless: it keeps the sizes in memory, has no tree-list, and
// does nothing else.
class TAppHost
{
public:
    TAppHost();
    virtual ~TAppHost() = default;

    // Lets the toolkit process pending messages (once per scanned directory entry).
    virtual void ProcessMessages() {}
    // The splash window's progress.
    virtual void SetMax(int /*max*/) {}
    virtual void Step() {}

    // The main window's sizes, applied at once when read from the file and read back when written.
    virtual void SetFormValue(TFormValue value, int pixels);
    virtual int FormValue(TFormValue value) const;

    // Status bar panel 0 after the load.
    virtual void ShowBookCount(int /*count*/) {}
    // The main window's settings action, run when no folder is configured after the load.
    virtual void ExecuteConfig() {}

    // The main window's tree-list; none without a window.
    virtual TTreeList* TreeList() { return nullptr; }
    // The current local date, which decides the bands of the new books.
    virtual QDate Today() const { return QDate::currentDate(); }

private:
    int FValues[FormValueCount];
};

// The host in use; never null.
TAppHost& AppHost();
// Installs a host (nullptr restores a fresh windowless one). The caller keeps ownership.
void SetAppHost(TAppHost* host);
