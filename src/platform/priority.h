#pragma once
// The process priority classes of the options (0 idle, 1 normal, 2 high,
// 3 real-time) as nice values: 19, 0, -5 and -10.
#include <QString>
#include <optional>

namespace ProcessPriority {
// The nice value of a priority class; nothing for any other value.
std::optional<int> NiceValueFor(int priorityClass);
// Applies the class to every thread of the process (on Linux a nice value
// belongs to a thread, and threads started later inherit it from the
// thread that starts them). Any other value leaves the priority unchanged
// and succeeds. Raising the priority needs the right to do so; without it
// the result is false with the system's reason in `error`.
bool Apply(int priorityClass, QString *error = nullptr);
// The current nice value of the calling thread.
int CurrentNiceValue();
} // namespace ProcessPriority
