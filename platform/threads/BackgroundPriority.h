#pragma once

// Lowers the calling thread's scheduling priority, once per thread. Work that only fills
// in detail (decoding photos) then yields the cores to the GUI thread, which on a
// two-core machine would otherwise wait for a decoder to finish its time slice.
// Still scheduled under load, unlike an idle-class thread.
void lowerCurrentThreadPriority();
