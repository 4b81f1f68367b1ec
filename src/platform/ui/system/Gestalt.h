// Gestalt: what the system offers.
//
// Orvo answers 'appr' (Appearance Manager) and 'qtim' (QuickTime) as present
// and 'sysv' as 0x0922, a classic system. Tests change the answers with the
// classic calls NewGestaltValue/ReplaceGestaltValue/SetGestaltValue and
// DeleteGestaltValue (which makes a selector missing); ResetGestaltValues
// brings back the standard answers.
#pragma once

#include "platform/core/MacTypes.h"

enum : OSType {
    gestaltAppearanceAttr = 'appr',
    gestaltQuickTime = 'qtim',
    gestaltSystemVersion = 'sysv',
};

enum : OSErr {
    gestaltUnknownErr = -5550,
    gestaltUndefSelectorErr = -5551,
    gestaltDupSelectorErr = -5552,
};

OSErr Gestalt(OSType selector, SInt32* response);
OSErr NewGestaltValue(OSType selector, SInt32 newValue);
OSErr ReplaceGestaltValue(OSType selector, SInt32 replacementValue);
OSErr SetGestaltValue(OSType selector, SInt32 newValue);
OSErr DeleteGestaltValue(OSType selector);
// Orvo: back to the standard answers.
void ResetGestaltValues();
