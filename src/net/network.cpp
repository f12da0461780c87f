#include "net/network.h"

#include <cstring>

#include "platform/assertion.h"

void make_send_order(NetOrder& order, uint32_t peer, NetChannel channel, const uint8_t* bytes,
                     size_t size) {
    TORVI_ASSERT(size <= sizeof order.bytes, "an order holds at most one world message");
    order.kind = order_send;
    order.channel = channel;
    order.peer_count = 1;
    order.peers[0] = peer;
    order.reason = 0;
    order.size = static_cast<uint16_t>(size);
    std::memcpy(order.bytes, bytes, size);
}

bool send_reliable(Network& net, uint32_t peer, const uint8_t* bytes, size_t size) {
    NetOrder order;
    make_send_order(order, peer, channel_reliable, bytes, size);
    return net.order(order);
}

void Network::send_action(ActionKind kind, float a, float b) {
    uint8_t bytes[kActionMessageSize];
    encode_action(ActionMessage{0, kind, a, b}, bytes);  // a client's player field is 0
    send_reliable(*this, kHostPeer, bytes, sizeof bytes);
}
