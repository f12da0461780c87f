#include "net/rate_limit.h"

bool RateLimit::allow(uint32_t address, uint32_t now_ms) {
    if (now_ms - window_start_ms_ >= kWindowMs) {
        window_start_ms_ = now_ms;
        answered_ = 0;
    }
    if (answered_ >= in_all_ || !allow_address(address, now_ms)) return false;
    ++answered_;
    return true;
}

bool RateLimit::allow_address(uint32_t address, uint32_t now_ms) {
    Budget* quietest = &budgets_[0];
    for (Budget& budget : budgets_) {
        if (budget.answers > 0 && budget.address == address) {
            if (now_ms - budget.window_start_ms >= kWindowMs) budget = Budget{address, now_ms, 0};
            return ++budget.answers <= per_address_;
        }
        if (budget.answers == 0 || budget.window_start_ms < quietest->window_start_ms) {
            if (quietest->answers != 0) quietest = &budget;
        }
    }
    *quietest = Budget{address, now_ms, 1};
    return true;
}
