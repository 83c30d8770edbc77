// KeptFailure.h - the failure of code that Qt calls (an event filter, a slot, a paint), kept for
// the run to throw again. An exception must not pass through Qt's event loop and LibreCAD's wait
// loops, which are not written for it: LibreCAD would be left in the middle of an action, or end
// with the designer's unsaved drawing.
#pragma once

#include <exception>
#include <utility>

namespace vel::librecad {

class KeptFailure {
public:
    // Runs `work`; an exception it throws is kept (the first of several) and false returned.
    template <class Work>
    bool guard(Work&& work) noexcept {
        try {
            std::forward<Work>(work)();
            return true;
        } catch (...) {
            if (!first_) first_ = std::current_exception();
            return false;
        }
    }
    explicit operator bool() const { return static_cast<bool>(first_); }
    // Throws the kept failure, once, where the run can end on it.
    void rethrow() {
        if (first_) std::rethrow_exception(std::exchange(first_, nullptr));
    }

private:
    std::exception_ptr first_;
};

}  // namespace vel::librecad
