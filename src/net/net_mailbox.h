// The only place the network thread and the game thread meet: a bounded inbox of decoded
// events, the newest world and map a client received, and a bounded outbox of orders. One
// mutex guards it all and is held only to copy records in or out, never while the game
// ticks or draws. Everything is allocated when the mailbox is made.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

#include "map/map_grid.h"
#include "net/net_events.h"

constexpr size_t kInboxCapacity = 1024;
constexpr size_t kOutboxCapacity = 256;

// What a client shows of the worlds that came since it last looked: the newest slots,
// and every effect they brought, oldest first (the oldest dropped past kEffectCount).
struct WorldUpdate {
    PlayerTable table;
    int32_t effect_count;
    WorldEffect effects[kEffectCount];
};

class NetMailbox {
  public:
    NetMailbox();

    // --- the network thread
    // False when the inbox is full: the caller keeps the event and stops reading the
    // network until the game has taken some, so nothing is lost.
    bool post(const NetEvent& event);
    void post_world(const WorldState& world);
    void post_map(const MapGrid& map);
    void post_scores(const Scores& scores);
    size_t take_orders(NetOrder* out, size_t max);

    // --- the game thread
    size_t take_events(NetEvent* out, size_t max);
    bool take_world(WorldUpdate& out);
    bool take_map(MapGrid& out);
    bool take_scores(Scores& out);
    // False, with nothing queued, when the outbox is full.
    bool order(const NetOrder& order);
    // Waits up to timeout for the network thread to make room in a full outbox; false
    // when it made none.
    bool wait_for_room(std::chrono::milliseconds timeout);
    // Forgets every event, world, map and order: a new session starts.
    void clear();

  private:
    template <typename T>
    struct Ring {
        std::unique_ptr<T[]> items;
        size_t capacity = 0, head = 0, count = 0;
        bool push(const T& item);
        size_t pop(T* out, size_t max);
    };

    std::mutex lock_;
    std::condition_variable room_;  // the outbox was emptied some
    Ring<NetEvent> inbox_;
    Ring<NetOrder> outbox_;
    std::unique_ptr<WorldUpdate> world_;
    bool world_new_ = false;
    std::unique_ptr<MapGrid> map_;
    bool map_new_ = false;
    Scores scores_{};
    bool scores_new_ = false;
};
