// A fuzz body for automation: arbitrary sequences of calls by name, with
// arguments of any type and value, on the document and every object it hands
// out, mixed with the edits that take bricks and groups out of the model.
// A plain function, to be registered as a fuzz target where the program's
// fuzzing build takes one.
#pragma once

#include <cstddef>
#include <cstdint>

// Aborts on a broken rule: a call that failed yet returned a value, a pane
// hold left open, a reference count off. Paths it writes stay in `folder`.
int FuzzAutomationCalls(const uint8_t* data, size_t size, const char* folder);
