#include "tools/scenario/StateDump.h"

#include "platform/ui/harness/Harness.h"
#include "platform/ui/harness/MenuHarness.h"
#include "tools/moviedump/JsonWriter.h"
#include "tools/scenario/WindowDescribers.h"

namespace scenario {

namespace {

void Window(JsonWriter& j, const harness::WindowState& w)
{
    const WindowDescriber& describer = DescriberFor(w.window);
    j.BeginObject("");
    j.String("title", w.title);
    j.String("kind", describer.kind);
    j.Bool("visible", w.visible);
    j.Bool("active", w.active);
    j.BeginArray("bounds");
    j.Number("", w.bounds.top);
    j.Number("", w.bounds.left);
    j.Number("", w.bounds.bottom);
    j.Number("", w.bounds.right);
    j.EndArray();
    describer.describe(j, w.window);
    j.EndObject();
}

void Menu(JsonWriter& j, const harness::MenuState& menu)
{
    j.BeginObject(std::to_string(menu.menuID));
    j.String("title", menu.title);
    j.Bool("enabled", menu.enabled);
    j.Bool("hilited", menu.menuID == harness::HilitedMenuID());
    j.BeginArray("items");
    for (const harness::MenuItemState& item : menu.items) {
        j.BeginObject("");
        j.String("text", item.text);
        j.Bool("enabled", item.enabled);
        if (item.commandKey != 0)
            j.String("key", std::string(1, item.commandKey));
        j.EndObject();
    }
    j.EndArray();
    j.EndObject();
}

}  // namespace

std::string DumpState()
{
    JsonWriter j;
    j.BeginObject("");
    j.Number("tick", harness::Now());
    j.BeginArray("windows");
    for (const harness::WindowState& w : harness::Windows())
        Window(j, w);
    j.EndArray();
    j.BeginObject("menus");
    for (const harness::MenuState& menu : harness::MenuBarState())
        Menu(j, menu);
    j.EndObject();
    j.EndObject();
    return j.Text();
}

}  // namespace scenario
