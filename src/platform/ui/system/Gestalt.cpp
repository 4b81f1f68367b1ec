// Gestalt answers from a table that tests may change.
#include "platform/ui/system/Gestalt.h"

#include <map>

namespace {

std::map<OSType, SInt32> StandardAnswers()
{
    return {
        {gestaltAppearanceAttr, 1},
        {gestaltQuickTime, 0x06008000},
        {gestaltSystemVersion, 0x0922},
    };
}

std::map<OSType, SInt32>& Answers()
{
    static std::map<OSType, SInt32> answers = StandardAnswers();
    return answers;
}

}  // namespace

OSErr Gestalt(OSType selector, SInt32* response)
{
    auto it = Answers().find(selector);
    if (it == Answers().end()) return gestaltUndefSelectorErr;
    if (response) *response = it->second;
    return noErr;
}

OSErr NewGestaltValue(OSType selector, SInt32 newValue)
{
    if (Answers().count(selector)) return gestaltDupSelectorErr;
    Answers()[selector] = newValue;
    return noErr;
}

OSErr ReplaceGestaltValue(OSType selector, SInt32 replacementValue)
{
    auto it = Answers().find(selector);
    if (it == Answers().end()) return gestaltUndefSelectorErr;
    it->second = replacementValue;
    return noErr;
}

OSErr SetGestaltValue(OSType selector, SInt32 newValue)
{
    Answers()[selector] = newValue;
    return noErr;
}

OSErr DeleteGestaltValue(OSType selector)
{
    return Answers().erase(selector) ? noErr : gestaltUndefSelectorErr;
}

void ResetGestaltValues() { Answers() = StandardAnswers(); }
