#pragma once
// How the process's memory allocator is set up, once, at the start of main().

// Large blocks (256 KiB and up) always come straight from the kernel and go
// back to it when freed. By default glibc raises that limit each time such a
// block is freed; blocks up to the new limit then come from the heap, where
// the small allocations made while they lived (a run's list entries) keep the
// memory from being given back. A run over a million files would hold much
// more than it uses.
void ConfigureAllocator();
