#include "testglobals.h"

#include "books/lirvel_dm_books.h"
#include "files/lirvel_dm_files.h"
#include "settings/lirvel_dm_params.h"

TGlobals::TGlobals()
{
    SetAppHost(&Host);
    dm_files = new Tdm_files();
    dmBooks = new TdmBooks();
    dmParams = new TdmParams();
}

TGlobals::~TGlobals()
{
    delete dmParams;
    dmParams = nullptr;
    delete dmBooks;
    dmBooks = nullptr;
    delete dm_files;
    dm_files = nullptr;
    SetAppHost(nullptr);
}
