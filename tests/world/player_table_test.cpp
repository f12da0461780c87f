#include "world/player_table.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(PlayerTable, AHostStartsHighWithEveryOtherSlotFreeAClientOnTheGround) {
    PlayerTable table;
    std::memset(&table, 0x5a, sizeof table);
    init_player_table(table);
    EXPECT_EQ(table.player_count, 0u);
    EXPECT_EQ(player_slot(table, 12), nullptr);
    EXPECT_EQ(player_slot(table, -1), nullptr);
    SessionState session;
    init_session_state(session);
    EXPECT_EQ(local_record(table, session), nullptr);

    table.slots[5].slot_state = SlotState::InGame;
    table.slots[0].velocity = {3.0f, 4.0f, 5.0f};
    table.slots[0].element = 2;
    start_game_as_host(table, session);
    EXPECT_TRUE(session.host);
    const PlayerRecord* r = local_record(table, session);
    ASSERT_EQ(r, &table.slots[0]);
    EXPECT_STREQ(r->name, "pelundo");
    EXPECT_EQ(r->position.y, 20.0f);
    EXPECT_EQ(r->velocity.y, 0.0f);
    EXPECT_EQ(r->health, 100u);
    EXPECT_EQ(r->element, 0);
    EXPECT_EQ(r->action, action_walk);
    EXPECT_EQ(r->facing.m[0][0], 1.0f);
    EXPECT_EQ(r->slot_state, SlotState::InGame);
    EXPECT_EQ(table.slots[5].slot_state, SlotState::Free);

    SessionState joined;
    init_session_state(joined);
    start_game_as_client(table, joined);
    EXPECT_TRUE(joined.client);
    EXPECT_FALSE(joined.host);
    EXPECT_EQ(local_record(table, joined)->position.y, 0.0f);
}
