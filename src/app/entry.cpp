#include <windows.h>

#include "app/application.h"
#include "app/ole_session.h"
#include "message_ids.h"
#include "ui/error_box.h"

int WINAPI WinMain(HINSTANCE module, HINSTANCE, LPSTR, int)
{
    // OLE outlives the handler below: the error box is shown before OLE goes.
    kivo::app::OleSession ole;
    try {
        return kivo::app::run_application(module);
    } catch (...) {
        kivo::ui::report_message(kivo::MSG_UNEXPECTED_ERROR);
        return 0;
    }
}
