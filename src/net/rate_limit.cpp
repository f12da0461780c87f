#include "net/rate_limit.h"

bool RateLimit::allow(uint32_t address, uint32_t now_ms) {
    Budget* quietest = &budgets_[0];
    for (Budget& budget : budgets_) {
        if (budget.answers > 0 && budget.address == address) {
            if (now_ms - budget.window_start_ms >= kWindowMs) budget = Budget{address, now_ms, 0};
            return ++budget.answers <= per_second_;
        }
        if (budget.answers == 0 || budget.window_start_ms < quietest->window_start_ms) {
            if (quietest->answers != 0) quietest = &budget;
        }
    }
    *quietest = Budget{address, now_ms, 1};
    return true;
}
