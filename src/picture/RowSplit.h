#pragma once

#include <functional>

namespace picture {

// Runs work(first, end) over rows [0, rows) cut into `parts` runs of nearly equal length, every
// run but the first on a thread of its own; the caller's thread takes the first and waits for the
// others. One part, or no more rows than parts would fill, runs on the caller's thread alone.
void splitRows(int rows, int parts, const std::function<void(int first, int end)>& work);

} // namespace picture
