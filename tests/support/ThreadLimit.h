// Makes the creation of threads fail for real, to test what code does without its thread.
#pragma once

// Whether ForbidNewThreads works here: not on Windows, and not under Address- or
// ThreadSanitizer, which need more address space than any limit leaves.
bool CanForbidNewThreads();
// From now on every new thread of this process fails to start: the address space is limited
// to what is in use, so no stack fits. For a process of its own (a death test).
void ForbidNewThreads();
