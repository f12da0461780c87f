#include "net/net_mailbox.h"

#include <cstring>

template <typename T>
bool NetMailbox::Ring<T>::push(const T& item) {
    if (count == capacity) return false;
    items[(head + count) % capacity] = item;
    ++count;
    return true;
}

template <typename T>
size_t NetMailbox::Ring<T>::pop(T* out, size_t max) {
    size_t taken = 0;
    for (; taken < max && count > 0; ++taken, --count) {
        out[taken] = items[head];
        head = (head + 1) % capacity;
    }
    return taken;
}

NetMailbox::NetMailbox()
    : world_(std::make_unique<WorldUpdate>()), map_(std::make_unique<MapGrid>()) {
    inbox_.items = std::make_unique<NetEvent[]>(kInboxCapacity);
    inbox_.capacity = kInboxCapacity;
    outbox_.items = std::make_unique<NetOrder[]>(kOutboxCapacity);
    outbox_.capacity = kOutboxCapacity;
    world_->effect_count = 0;
}

bool NetMailbox::post(const NetEvent& event) {
    std::lock_guard<std::mutex> hold(lock_);
    return inbox_.push(event);
}

void NetMailbox::post_world(const WorldState& world) {
    std::lock_guard<std::mutex> hold(lock_);
    WorldUpdate& update = *world_;
    if (!world_new_) update.effect_count = 0;
    update.table = world.table;
    for (int i = 0; i < world.effect_count; ++i) {
        if (update.effect_count == kEffectCount) {
            std::memmove(update.effects, update.effects + 1,
                         (kEffectCount - 1) * sizeof update.effects[0]);
            --update.effect_count;
        }
        update.effects[update.effect_count++] = world.effects[i];
    }
    world_new_ = true;
}

void NetMailbox::post_map(const MapGrid& map) {
    std::lock_guard<std::mutex> hold(lock_);
    *map_ = map;
    map_new_ = true;
}

size_t NetMailbox::take_orders(NetOrder* out, size_t max) {
    std::lock_guard<std::mutex> hold(lock_);
    const size_t taken = outbox_.pop(out, max);
    if (taken > 0) room_.notify_all();
    return taken;
}

size_t NetMailbox::take_events(NetEvent* out, size_t max) {
    std::lock_guard<std::mutex> hold(lock_);
    return inbox_.pop(out, max);
}

bool NetMailbox::take_world(WorldUpdate& out) {
    std::lock_guard<std::mutex> hold(lock_);
    if (!world_new_) return false;
    out.table = world_->table;
    out.effect_count = world_->effect_count;
    std::memcpy(out.effects, world_->effects, world_->effect_count * sizeof out.effects[0]);
    world_new_ = false;
    return true;
}

void NetMailbox::post_scores(const Scores& scores) {
    std::lock_guard<std::mutex> hold(lock_);
    scores_ = scores;
    scores_new_ = true;
}

bool NetMailbox::take_scores(Scores& out) {
    std::lock_guard<std::mutex> hold(lock_);
    if (!scores_new_) return false;
    out = scores_;
    scores_new_ = false;
    return true;
}

bool NetMailbox::take_map(MapGrid& out) {
    std::lock_guard<std::mutex> hold(lock_);
    if (!map_new_) return false;
    out = *map_;
    map_new_ = false;
    return true;
}

bool NetMailbox::order(const NetOrder& order) {
    std::lock_guard<std::mutex> hold(lock_);
    return outbox_.push(order);
}

bool NetMailbox::wait_for_room(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> hold(lock_);
    return room_.wait_for(hold, timeout, [this] { return outbox_.count < outbox_.capacity; });
}

void NetMailbox::clear() {
    std::lock_guard<std::mutex> hold(lock_);
    inbox_.head = inbox_.count = 0;
    outbox_.head = outbox_.count = 0;
    world_new_ = map_new_ = scores_new_ = false;
}
