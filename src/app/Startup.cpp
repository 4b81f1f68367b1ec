#include "app/Startup.h"

#include "app/AppResources.h"
#include "app/OrvoFramework.h"
#include "platform/core/PascalStrings.h"
#include "platform/movies/Movies.h"
#include "platform/ui/system/Gestalt.h"
#include "platform/controller/MovieProgressWindow.h"
#include "platform/ui/quickdraw/QuickDraw.h"
#include "util/MyError.h"

void InitToolbox()
{
    InitCursor();
}

// The checks stop at the first missing service. A Gestalt call that fails
// leaves the response at 0, so an unknown selector counts as missing.
bool CheckServices()
{
    SInt32 gestaltResponse = 0;
    Gestalt(gestaltAppearanceAttr, &gestaltResponse);
    if (gestaltResponse == 0) {
        FailErr(-1, "Appearance Manager is not available"_p);
        return false;
    }
    if (!NavServicesAvailable()) {
        FailErr(-1, "Navigation services not available"_p);
        return false;
    }
    gestaltResponse = 0;
    Gestalt(gestaltQuickTime, &gestaltResponse);
    if (gestaltResponse <= 0) {
        FailErr(-1, "QuickTime is not available"_p);
        return false;
    }
    return true;
}

Boolean NavServicesAvailable()
{
    return true;
}

void InitQuicktime()
{
    FailErr(EnterMovies(), "Error initializing Movie Toolbox"_p);
}

void InitApp(OrvoFramework& theApp)
{
    theApp.LoadMenuBar(kMenuBarID);
    theApp.InitializeAppleEvents();
}

void DoApp(OrvoFramework& theApp)
{
    long theEvent;
    do {
        theEvent = theApp.Idle();
    } while (theEvent != kDispatchQuit);
}

int OrvoMain()
{
    RegisterAppResources();
    InitToolbox();
    CheckServices();
    InitQuicktime();
    // Long movie operations of movies with the default progress procedure
    // show the toolbox's progress window.
    InstallMovieProgressWindow();
    OrvoFramework theapp;
    InitApp(theapp);
    DoApp(theapp);
    return 0;
}
