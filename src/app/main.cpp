// Orvo's entry point.
#include "app/Startup.h"
#include "platform/ui/appleevents/AppleEvents.h"

int main(int argc, char* argv[])
{
    // Files named on the command line arrive as one open-documents Apple
    // event, as if they had been dropped on the application.
    AEPostStartupEvents(argc, argv);
    // SIGINT and SIGTERM ask to quit, like closing the host window.
    AEInstallQuitSignalHandlers();
    return OrvoMain();
}
