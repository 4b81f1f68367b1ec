// Answers every dialog that a test's code puts up, recording what it showed.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/harness/DialogHarness.h"
#include "platform/ui/harness/Harness.h"

struct ShownDialog {
    std::string title;
    std::vector<std::string> texts;  // static texts as shown, ^0..^3 replaced
};

// From now on, whenever a modal loop runs out of input, the front dialog is
// recorded and item `answer` is clicked.
inline std::vector<ShownDialog>& AnswerDialogsWith(short answer)
{
    static std::vector<ShownDialog> shown;
    shown.clear();
    harness::SetIdleProc([answer]() {
        DialogPtr d = harness::FrontDialog();
        if (d == nullptr)
            return;
        harness::DialogState state = harness::GetDialogState(d);
        ShownDialog record{state.title, {}};
        for (const auto& item : state.items)
            if (item.type == 8)
                record.texts.push_back(item.shownText);
        shown.push_back(record);
        harness::ClickDialogItem(d, answer);
    });
    return shown;
}
