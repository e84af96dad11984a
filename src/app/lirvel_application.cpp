#include "app/lirvel_application.h"

#include "app/lirvelMainUnit.h"
#include "app/lirvel_error_report.h"
#include "app/lirvel_splash.h"
#include "books/lirvel_dm_books.h"
#include "files/lirvel_dm_files.h"
#include "settings/lirvel_dlg_params.h"
#include "settings/lirvel_dm_params.h"
#include "util/lirvel_host.h"

#include <QApplication>

namespace {

// The form-creation call: the global is set before the creation handler runs, so that handlers
// running during creation reach this object and every one created before it. A failure of the
// handler goes to the error report and start-up goes on.
template <class T, class Handler> void CreateForm(T*& global, Handler handler)
{
    global = new T();
    Guarded([&] { (global->*handler)(); });
}

template <class T> void Release(T*& global)
{
    delete global;
    global = nullptr;
}

} // namespace

void StartApplication()
{
    ApplicationTerminated = false;
    SplashForm = new TSplashForm();
    SplashForm->show();
    SplashForm->raise();

    CreateForm(MainForm, &TMainForm::FormCreate);
    SetAppHost(MainForm);
    dlgParams = new TdlgParams(MainForm);
    // The two lists come into being with their modules.
    dm_files = new Tdm_files();
    dmBooks = new TdmBooks();
    CreateForm(dmParams, &TdmParams::DataModuleCreate);
}

void FinishApplication()
{
    // The configuration is written first, while the main window and the book list still exist.
    Guarded([] { dmParams->DataModuleDestroy(); });
    Release(dmParams);
    Release(dmBooks);
    Release(dm_files);
    Release(dlgParams);
    SetAppHost(nullptr);
    Release(MainForm);
    Release(SplashForm);
}

int RunApplication()
{
    StartApplication();
    int result = 0;
    if (!ApplicationTerminated) {
        MainForm->show();
        result = QApplication::exec();
    }
    FinishApplication();
    return result;
}
