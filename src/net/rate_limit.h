// At most a few answers a second to any one address, so a host cannot be used to flood
// someone whose address a query names falsely, and a bounded number in all, however many
// addresses ask.
#pragma once

#include <cstdint>

class RateLimit {
  public:
    RateLimit(int per_address, int in_all) : per_address_(per_address), in_all_(in_all) {}

    // Whether one more answer to address fits this second. A fixed table keeps the
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
    bool allow_address(uint32_t address, uint32_t now_ms);

    int per_address_;
    int in_all_;
    uint32_t window_start_ms_ = 0;
    int answered_ = 0;  // in all, in the window that started at window_start_ms_
    Budget budgets_[kAddresses];
};
