// Undo and redo over whole states, in storage sized once: recording, undoing and redoing
// copy states and never allocate.
#pragma once

#include <cstddef>
#include <vector>

template <typename State>
class UndoRing {
  public:
    explicit UndoRing(int steps) : past_(steps), future_(steps) {}

    // One step gathers every change from begin_step to end_step (a stroke, a drag): only
    // the state before its first change is recorded.
    void begin_step(const State& before) {
        if (open_) return;
        record(before);
        open_ = true;
    }
    void end_step() { open_ = false; }
    bool step_open() const { return open_; }

    // current becomes the state before the last step; false when there is none.
    bool undo(State& current) {
        end_step();
        return step(past_, future_, current);
    }
    // current becomes the state the last undo left; false when there is none.
    bool redo(State& current) {
        end_step();
        return step(future_, past_, current);
    }
    void clear() {
        past_.count = future_.count = 0;
        open_ = false;
    }

  private:
    // Before can be returned to; the oldest state goes when the ring is full, and what was
    // undone can no longer be redone.
    void record(const State& before) {
        past_.push(before);
        future_.count = 0;
    }

    // The newest count states, oldest at first; a full ring drops its oldest.
    struct Ring {
        explicit Ring(int steps) : states(static_cast<size_t>(steps)) {}
        void push(const State& state) {
            if (states.empty()) return;
            if (count == states.size()) {
                first = (first + 1) % states.size();
                --count;
            }
            states[(first + count++) % states.size()] = state;
        }
        const State& pop() { return states[(first + --count) % states.size()]; }
        std::vector<State> states;
        size_t first = 0, count = 0;
    };

    static bool step(Ring& from, Ring& to, State& current) {
        if (from.count == 0) return false;
        to.push(current);
        current = from.pop();
        return true;
    }

    Ring past_;
    Ring future_;
    bool open_ = false;
};
