// murrel-dl: starts the window system and hands over to App_Main.
#include "app/app_main.h"
#include "web/web_init.h"

#include <QApplication>

int main(int argc, char** argv)
{
    // Before any thread starts, Qt's own included.
    murrel::Web_Init();
    int status = 0;
    {
        QApplication application(argc, argv);
        status = murrel::App_Main();
    }
    // Requests abandoned at their time-out may still be running; let them end before the process does.
    murrel::Web_Shutdown();
    return status;
}
