#pragma once

// The wait cursor over the whole program while a long action runs (a long print, the
// statistics, a backup, an import), so that nobody takes the still window for a hung one.
// Guards nest; a box shown on the way shows the normal cursor (app/dialogs).
class WaitCursor
{
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;

    // True while a guard lives.
    static bool active();
};
