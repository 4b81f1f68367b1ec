#include "platform/ui/resources/ResourceTemplates.h"

#include <map>
#include <memory>

namespace {

// One table per template type. Values are held through unique_ptr so that
// a looked-up pointer survives other registrations of the same type.
template <typename T>
using TemplateTable = std::map<short, std::unique_ptr<T>>;

struct Registry {
    TemplateTable<MenuBarTemplate> menuBars;
    TemplateTable<MenuTemplate> menus;
    TemplateTable<WindowTemplate> windows;
    TemplateTable<ControlTemplate> controls;
    TemplateTable<ItemListTemplate> itemLists;
    TemplateTable<DialogTemplate> dialogs;
    TemplateTable<AlertTemplate> alerts;
    TemplateTable<TypeListTemplate> typeLists;
};

Registry& TheRegistry()
{
    static Registry registry;
    return registry;
}

template <typename T>
void Put(TemplateTable<T>& table, short id, const T& t)
{
    table[id] = std::make_unique<T>(t);
}

template <typename T>
const T* Find(const TemplateTable<T>& table, short id)
{
    auto it = table.find(id);
    return it == table.end() ? nil : it->second.get();
}

// Calls f with the table of the given type; returns false for a type the
// registry does not hold.
template <typename F>
bool WithTable(ResType type, F&& f)
{
    Registry& r = TheRegistry();
    switch (type) {
    case kMenuBarResType: f(r.menuBars); return true;
    case kMenuResType: f(r.menus); return true;
    case kWindowResType: f(r.windows); return true;
    case kControlResType: f(r.controls); return true;
    case kItemListResType: f(r.itemLists); return true;
    case kDialogResType: f(r.dialogs); return true;
    case kAlertResType: f(r.alerts); return true;
    case kTypeListResType: f(r.typeLists); return true;
    default: return false;
    }
}

}  // namespace

void RegisterMenuBarTemplate(short id, const MenuBarTemplate& t) { Put(TheRegistry().menuBars, id, t); }
void RegisterMenuTemplate(short id, const MenuTemplate& t) { Put(TheRegistry().menus, id, t); }
void RegisterWindowTemplate(short id, const WindowTemplate& t) { Put(TheRegistry().windows, id, t); }
void RegisterControlTemplate(short id, const ControlTemplate& t) { Put(TheRegistry().controls, id, t); }
void RegisterItemListTemplate(short id, const ItemListTemplate& t) { Put(TheRegistry().itemLists, id, t); }
void RegisterDialogTemplate(short id, const DialogTemplate& t) { Put(TheRegistry().dialogs, id, t); }
void RegisterAlertTemplate(short id, const AlertTemplate& t) { Put(TheRegistry().alerts, id, t); }
void RegisterTypeListTemplate(short id, const TypeListTemplate& t) { Put(TheRegistry().typeLists, id, t); }

const MenuBarTemplate* LookupMenuBarTemplate(short id) { return Find(TheRegistry().menuBars, id); }
const MenuTemplate* LookupMenuTemplate(short id) { return Find(TheRegistry().menus, id); }
const WindowTemplate* LookupWindowTemplate(short id) { return Find(TheRegistry().windows, id); }
const ControlTemplate* LookupControlTemplate(short id) { return Find(TheRegistry().controls, id); }
const ItemListTemplate* LookupItemListTemplate(short id) { return Find(TheRegistry().itemLists, id); }
const DialogTemplate* LookupDialogTemplate(short id) { return Find(TheRegistry().dialogs, id); }
const AlertTemplate* LookupAlertTemplate(short id) { return Find(TheRegistry().alerts, id); }
const TypeListTemplate* LookupTypeListTemplate(short id) { return Find(TheRegistry().typeLists, id); }

void UnregisterResourceTemplate(ResType type, short id)
{
    WithTable(type, [id](auto& table) { table.erase(id); });
}

void ClearResourceTemplates()
{
    TheRegistry() = Registry{};
}

bool HasResourceTemplate(ResType type, short id)
{
    bool found = false;
    WithTable(type, [&](auto& table) { found = table.count(id) != 0; });
    return found;
}
