// A script that answers the dialogs a test's code puts up, recording what
// each one showed.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/ui/dialogs/Dialogs.h"
#include "platform/ui/harness/DialogHarness.h"
#include "platform/ui/harness/Harness.h"

// What a dialog showed when the script met it.
struct SeenDialog {
    std::string title;
    std::vector<std::string> texts;  // static and edit texts, ^0..^3 replaced
};

// Steps run one at a time, each when a modal loop runs out of input with a
// dialog in front. A dialog the script did not expect is recorded and
// answered with item 2 (Continue in the error alert, Cancel elsewhere).
class DialogScript {
public:
    using Step = std::function<void(DialogPtr)>;
    explicit DialogScript(std::vector<Step> steps = {}) : steps(std::move(steps))
    {
        harness::SetIdleProc([this]() { Run(); });
    }
    ~DialogScript() { harness::SetIdleProc(nullptr); }
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;

    std::vector<SeenDialog> seen;
    std::vector<SeenDialog> unexpected;
    bool Finished() const { return next == steps.size(); }

private:
    void Run()
    {
        DialogPtr d = harness::FrontDialog();
        if (d == nullptr)
            return;
        harness::DialogState state = harness::GetDialogState(d);
        SeenDialog record{state.title, {}};
        for (const auto& item : state.items)
            if (item.type == 8 || item.type == 16)
                record.texts.push_back(item.type == 8 ? item.shownText : item.text);
        if (next < steps.size()) {
            seen.push_back(record);
            steps[next++](d);
        } else {
            unexpected.push_back(record);
            harness::ClickDialogItem(d, 2);
        }
    }
    std::vector<Step> steps;
    size_t next = 0;
};

inline std::string JoinTexts(const SeenDialog& d)
{
    std::string all;
    for (const auto& t : d.texts)
        all += t + "\n";
    return all;
}
