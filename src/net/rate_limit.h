// At most a few answers a second to any one address, so a host cannot be used to flood
// someone whose address a query names falsely.
#pragma once

#include <cstdint>

class RateLimit {
  public:
    explicit RateLimit(int per_second) : per_second_(per_second) {}

    // Whether one more answer to address fits its second. A fixed table keeps the
    // addresses heard from lately; a new one takes the place of the one quiet longest.
    bool allow(uint32_t address, uint32_t now_ms);

  private:
    struct Budget {
        uint32_t address = 0;
        uint32_t window_start_ms = 0;
        int answers = 0;  // 0: an unused entry
    };
    static constexpr int kAddresses = 16;
    static constexpr uint32_t kWindowMs = 1000;
    int per_second_;
    Budget budgets_[kAddresses];
};
