// The application object: the one event engine of Orvo, with the commands
// that need no window (About, Open, Close, Quit) and the required Apple
// events.
#pragma once

#include "framework/UIEngine.h"
#include "platform/filesystem/Files.h"
#include "platform/ui/appleevents/AppleEvents.h"

class OrvoFramework;

// How the Apple event handlers reach the application.
struct AppleEventsUserData {
    OrvoFramework* uiRef = nullptr;
    long eventResult = kDispatchNothing;  // dispatch result reported for the current high-level event
};

extern AppleEventsUserData gAppleEventsData;
extern bool gOSX;

class OrvoFramework : public UIEngine {
public:
    OrvoFramework();
    ~OrvoFramework();

    void LoadMenuBar(short mbarID) override;
    void InitializeAppleEvents();
    void LoadMovieFile(FSSpec* theFile);

protected:
    long HandleMenu(EventRecord& er, long menuChoice) override;
    long HandleHighLevelEvent(EventRecord& er) override;
    virtual long OpenMovieFile(EventRecord& er);

    static OSErr OpenApplicationHandler(const AppleEvent* theAppleEvent, AppleEvent* reply, long handlerRefcon);
    static OSErr OpenDocumentsHandler(const AppleEvent* theAppleEvent, AppleEvent* reply, long handlerRefcon);
    static OSErr PrintDocumentsHandler(const AppleEvent* theAppleEvent, AppleEvent* reply, long handlerRefcon);
    static OSErr QuitApplicationHandler(const AppleEvent* theAppleEvent, AppleEvent* reply, long handlerRefcon);

    AEEventHandlerUPP OpenApplicationHandlerProcPtr;
    AEEventHandlerUPP OpenDocumentsHandlerProcPtr;
    AEEventHandlerUPP PrintDocumentsHandlerProcPtr;
    AEEventHandlerUPP QuitApplicationHandlerProcPtr;

private:
    void ShowAboutBox();
    long HandleFileMenu(EventRecord& er, short theItem);
};
