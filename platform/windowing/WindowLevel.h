#pragma once

// Where a window lies in the stacking order, lowest first.
enum class WindowLevel {
    Desktop,  // just above the desktop picture, below every ordinary window
    Normal,   // among ordinary windows
    Floating, // above ordinary windows (the editing mode)
    Panel,    // above floating windows: dialogs opened while editing
};
