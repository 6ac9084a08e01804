#pragma once

// The program's look: set once on the main window's central widget, so it covers the page
// stack and every page.
extern const char *const styleSheet;
