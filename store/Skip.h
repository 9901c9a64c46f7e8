#pragma once

#include "Sql.h"

#include <exception>
#include <utility>

namespace store {

void logSkipped(const QString& what, const DbError& error);
void logSkipped(const QString& what, const std::exception& error);

// Runs one step of an operation that goes on past failures: a step that throws is
// logged with its statement and the engine's message and skipped. Returns whether
// the step completed.
template <class F>
bool skipOnFailure(const QString& what, F&& step) noexcept
{
    try {
        std::forward<F>(step)();
        return true;
    } catch (const DbError& e) {
        logSkipped(what, e);
    } catch (const std::exception& e) {
        logSkipped(what, e);
    } catch (...) {
        logSkipped(what, std::runtime_error("unknown failure"));
    }
    return false;
}

} // namespace store
