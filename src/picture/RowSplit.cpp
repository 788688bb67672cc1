#include "picture/RowSplit.h"

#include <algorithm>
#include <exception>
#include <thread>
#include <vector>

namespace picture {

namespace {

// Fewer rows a part are not worth a thread's start.
constexpr int leastRowsAPart = 16;

} // namespace

void splitRows(int rows, int parts, const std::function<void(int first, int end)>& work) {
    parts = std::clamp(rows / leastRowsAPart, 1, std::max(1, parts));
    if (parts == 1) {
        work(0, rows);
        return;
    }
    const auto boundary = [&](int part) {
        return static_cast<int>(static_cast<long long>(rows) * part / parts);
    };
    std::vector<std::exception_ptr> errors(static_cast<std::size_t>(parts));
    const auto run = [&](int part) {
        try {
            work(boundary(part), boundary(part + 1));
        } catch (...) {
            errors[static_cast<std::size_t>(part)] = std::current_exception();
        }
    };
    {
        std::vector<std::jthread> helpers;
        for (int part = 1; part < parts; ++part)
            helpers.emplace_back(run, part);
        run(0);
    }
    for (const std::exception_ptr& error : errors)
        if (error)
            std::rethrow_exception(error);
}

} // namespace picture
