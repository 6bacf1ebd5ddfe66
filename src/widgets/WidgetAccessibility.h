#pragma once
// Makes the program's self-drawn widgets visible to screen readers and UI
// test tools: ColourLogView as read-only text, PartsProgressBar as a
// progress bar with a value.

// Installs the accessibility factory for those widgets; the widgets call it
// themselves, and any call after the first does nothing.
void installWidgetAccessibility();
