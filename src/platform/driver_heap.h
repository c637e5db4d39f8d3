// The heap the OpenGL driver allocates from, on Linux.
#pragma once

// Keeps large blocks in the process's heap once freed. Mesa allocates and frees vertex
// buffers of some hundred kilobytes many times a frame while immediate drawing and display
// lists alternate; glibc would map each from the kernel and give it back (or trim the heap
// under it), so every page was faulted in again: the demo city's frames took 9 ms instead of
// 6.5 at 1024 x 768. Called before a rendering context is made; harmless when called again.
void KeepDriverBuffersInHeap();
