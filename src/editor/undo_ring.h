// Undo and redo over whole states, in storage sized once: recording, undoing and redoing
// copy states and never allocate.
#pragma once

#include <cstddef>
#include <vector>

template <typename State>
class UndoRing {
  public:
    explicit UndoRing(int steps) : past_(steps), future_(steps) {}

    // A change is about to turn before into something else: before can be returned to.
    // The oldest state goes when the ring is full; what was undone can no longer be redone.
    void record(const State& before) {
        past_.push(before);
        future_.count = 0;
    }
    // current becomes the state before the last change; false when there is none.
    bool undo(State& current) { return step(past_, future_, current); }
    // current becomes the state the last undo left; false when there is none.
    bool redo(State& current) { return step(future_, past_, current); }
    void clear() { past_.count = future_.count = 0; }

  private:
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
};
