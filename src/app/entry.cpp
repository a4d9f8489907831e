#include <windows.h>

#include "app/application.h"
#include "app/entry_guard.h"
#include "app/ole_session.h"

int WINAPI WinMain(HINSTANCE module, HINSTANCE, LPSTR, int)
{
    // OLE outlives the guard: an error box is shown before OLE is undone.
    kivo::app::OleSession ole;
    return kivo::app::run_reporting_failures([module] { return kivo::app::run_application(module); });
}
