#include "framework/UIEngine.h"

WindowList::WindowList(WindowList* p, WindowList* n, Window* w) : next(n), prev(p), win(w)
{
    if (n != nullptr)
        n->prev = this;
    if (p != nullptr)
        p->next = this;
}

void WindowList::DeleteList(WindowList* wl)
{
    // Walk instead of recursing: the result is the same, and a long chain
    // cannot exhaust the stack.
    while (wl != nullptr) {
        WindowList* rest = wl->next;
        delete wl;
        wl = rest;
    }
}
