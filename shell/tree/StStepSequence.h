// SPDX-License-Identifier: MIT
#pragma once
// Steps that must run one after another, where a step may finish later
// (after a listing that takes its time): each step is handed `next`, to
// call when it is done. A step that never calls it ends the sequence.

#include <cstddef>
#include <functional>
#include <memory>

class TStStepSequence : public std::enable_shared_from_this<TStStepSequence> {
public:
    using Step = std::function<void(std::size_t index, std::function<void()> next)>;

    static void Run(std::size_t count, Step step)
    {
        std::make_shared<TStStepSequence>(count, std::move(step))->RunFrom(0);
    }

    TStStepSequence(std::size_t count, Step step) : count_(count), step_(std::move(step)) {}

private:
    // Only a pending `next` keeps the sequence alive.
    void RunFrom(std::size_t index)
    {
        if (index < count_)
            step_(index, [self = shared_from_this(), index] { self->RunFrom(index + 1); });
    }

    std::size_t count_;
    Step step_;
};
