#pragma once

#include <utility>

namespace vorlane {

// Runs its action when the scope ends, also when a failure ends it: the clean-up of a tick, a
// command or a conversation.
template <typename Action> class Finally
{
public:
    explicit Finally(Action action) : action_(std::move(action)) {}
    Finally(const Finally&) = delete;
    Finally& operator=(const Finally&) = delete;
    ~Finally() { action_(); }

private:
    Action action_;
};

} // namespace vorlane
