// Start-up: bring the toolbox up, check the services Orvo depends on, run
// the main loop until the application quits.
#pragma once

#include "platform/core/MacTypes.h"

class OrvoFramework;

void InitToolbox();
bool CheckServices();
Boolean NavServicesAvailable();
void InitQuicktime();
void InitApp(OrvoFramework& theApp);
void DoApp(OrvoFramework& theApp);

// The whole start-up sequence and main loop; returns the exit status (0).
int OrvoMain();
