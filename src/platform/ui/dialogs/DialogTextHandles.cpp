#include "platform/ui/dialogs/DialogTextHandles.h"

#include <map>
#include <utility>

#include "platform/core/Memory.h"

namespace dialogs {

namespace {

std::map<Handle, std::pair<DialogPtr, short>>& LiveHandles()
{
    static std::map<Handle, std::pair<DialogPtr, short>> live;
    return live;
}

}  // namespace

Handle NewTextHandle(DialogPtr d, short itemNo)
{
    Handle h = NewHandleClear(1);
    if (h != nil)
        LiveHandles()[h] = {d, itemNo};
    return h;
}

void ForgetTextHandle(Handle h)
{
    if (LiveHandles().erase(h) != 0)
        DisposeHandle(h);
}

bool ResolveTextHandle(Handle h, DialogPtr* d, short* itemNo)
{
    auto it = LiveHandles().find(h);
    if (it == LiveHandles().end())
        return false;
    *d = it->second.first;
    *itemNo = it->second.second;
    return true;
}

}  // namespace dialogs
