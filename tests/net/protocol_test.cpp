// What goes on the wire: exact byte images, and decoders that refuse or clean whatever a
// peer could send. The slots a host hands out and the list of hosts found.
#include "net/protocol.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "net/host_list.h"
#include "net/rate_limit.h"
#include "net/slots.h"
#include "world/phases.h"

namespace {

std::vector<uint8_t> words(std::initializer_list<uint32_t> values) {
    std::vector<uint8_t> bytes;
    for (uint32_t v : values) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    return bytes;
}

uint32_t bits(float f) {
    uint32_t b;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

TEST(ActionMessage, AJumpPressIsItsTwentyBytesAndBadActionsAreRefusedOrClamped) {
    uint8_t bytes[kActionMessageSize];
    encode_action(ActionMessage{0, kind_button_down, 2.0f, 0.0f}, bytes);
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + sizeof bytes),
              words({1004, 0, 1, 0x40000000, 0x00000000}));

    ActionMessage out;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (const auto& bad :
         {words({1004, 0, 3, 0, 0}), words({1004, 0, 1, bits(3.0f), 0}),
          words({1004, 0, 2, bits(nan), 0}), words({1005, 0, 2, 0, 0}), words({1004, 0, 2, 0})}) {
        EXPECT_FALSE(decode_action(bad.data(), bad.size(), out));
    }
    const auto wild = words({1004, 7, 2, bits(-1e9f), bits(250.0f)});
    ASSERT_TRUE(decode_action(wild.data(), wild.size(), out));
    EXPECT_EQ(out.a, -100.0f);
    EXPECT_EQ(out.b, 100.0f);
}

TEST(WorldMessage, SlotsAndEffectsTravelWholeAndDamageIsRefusedOrCleaned) {
    WorldState world{};
    init_player_table(world.table);
    PlayerRecord& r = world.table.slots[3];
    r.slot_state = slot_in_game;
    r.position = {4.5f, 1.0f, -7.25f};
    r.velocity = {1.0f, 2.0f, 3.0f};
    r.facing = rotation_y(0.75f);
    r.health = 88;
    r.element = 2;
    r.action = action_attack;
    r.action_phase = 5;
    std::snprintf(r.name, sizeof r.name, "bad\x1bname");
    world.effect_count = 1;
    world.effects[0] = {effect_tap, {1, 2, 3}};
    static uint8_t bytes[kWorldMessageSize];
    encode_world(world, bytes);

    static WorldState out;
    ASSERT_TRUE(decode_world(bytes, sizeof bytes, out));
    const PlayerRecord& got = out.table.slots[3];
    EXPECT_EQ(got.slot_state, slot_in_game);
    EXPECT_EQ(got.position.z, -7.25f);
    EXPECT_EQ(got.velocity.y, 2.0f);
    EXPECT_NEAR(got.facing.m[2][0], r.facing.m[2][0], 1e-6f);
    EXPECT_EQ(got.health, 88u);
    EXPECT_EQ(got.element, 2);
    EXPECT_EQ(got.action_phase, 5);
    EXPECT_STREQ(got.name, "bad?name");
    EXPECT_EQ(out.effect_count, 1);
    EXPECT_EQ(out.effects[0].position.y, 2.0f);

    const size_t slot3 = 4 + 3 * kWorldSlotSize;
    for (const auto& [offset, value] : {std::pair{slot3, 9u},                       // state
                                        std::pair{slot3 + 4, bits(INFINITY)},       // x
                                        std::pair{slot3 + 40, 77u},                 // action
                                        std::pair{kWorldMessageSize - 132, 9u}}) {  // count
        uint8_t damaged[kWorldMessageSize];
        std::memcpy(damaged, bytes, sizeof damaged);
        std::memcpy(damaged + offset, &value, 4);
        EXPECT_FALSE(decode_world(damaged, sizeof damaged, out)) << offset;
    }
    EXPECT_FALSE(decode_world(bytes, sizeof bytes - 1, out));
}

TEST(SmallMessages, WelcomeHelloViewAndMapRoundTripAndRefuseWhatDoesNotFit) {
    uint8_t welcome_bytes[kWelcomeMessageSize];
    encode_welcome(Welcome{11, "a\nb"}, welcome_bytes);
    Welcome welcome;
    ASSERT_TRUE(decode_welcome(welcome_bytes, sizeof welcome_bytes, welcome));
    EXPECT_EQ(welcome.slot, 11);
    EXPECT_STREQ(welcome.session_name, "a?b");
    encode_welcome(Welcome{12, "x"}, welcome_bytes);
    EXPECT_FALSE(decode_welcome(welcome_bytes, sizeof welcome_bytes, welcome));

    Hello hello{9, "ann"};
    uint8_t hello_bytes[kHelloMessageSize];
    encode_hello(hello, hello_bytes);
    std::memset(hello_bytes + 8, 'x', kNetNameSize);  // a name without its end
    ASSERT_TRUE(decode_hello(hello_bytes, sizeof hello_bytes, hello));
    EXPECT_EQ(hello.element, 0);  // no such element: the zombie
    EXPECT_EQ(std::strlen(hello.name), kNetNameSize - 1u);

    uint8_t view_bytes[kViewMessageSize];
    encode_view(Camera{{1, 2, 3}, {4, 5, 6}}, view_bytes);
    Camera cam;
    ASSERT_TRUE(decode_view(view_bytes, sizeof view_bytes, cam));
    EXPECT_EQ(cam.target.z, 6.0f);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::memcpy(view_bytes + 8, &nan, 4);
    EXPECT_FALSE(decode_view(view_bytes, sizeof view_bytes, cam));

    static MapGrid map, got;
    fill_startup_map(map);
    static uint8_t map_bytes[kMapMessageSize];
    encode_map(map, map_bytes);
    map_bytes[4 + 80] = 200;  // a damaged cell reads as snow, as from a file
    ASSERT_TRUE(decode_map(map_bytes, sizeof map_bytes, got));
    EXPECT_EQ(std::memcmp(&got, &map, 80), 0);
    EXPECT_EQ(reinterpret_cast<uint8_t*>(&got)[80], 0);
    EXPECT_FALSE(decode_map(map_bytes, 100, got));
}

std::string cleaned(const std::string& text, size_t size = 64) {
    char out[64];
    clean_text(out, size, text.data(), text.size());
    return out;
}

TEST(CleanText, NamesInAnyScriptStayAndControlsAndBrokenBytesBecomeOneQuestionMarkEach) {
    for (const char* name : {"Дмитрий", "王小明", "Zoë😀", "\xC2\xA0\xEF\xBF\xBD\xF4\x8F\xBF\xBF"})
        EXPECT_EQ(cleaned(name), name);

    EXPECT_EQ(cleaned("a\x01\x1b\x7Fz"), "a???z");              // C0, DEL
    EXPECT_EQ(cleaned("a\xC2\x80\xC2\x9B\xC2\x9Fz"), "a???z");  // C1 in UTF-8
    EXPECT_EQ(cleaned("a\x9B[2J"), "a?[2J");                    // 8-bit CSI alone
    EXPECT_EQ(cleaned("\x80\xC0\xC1\xF5\xFFz"), "?????z");      // bytes that start nothing
    EXPECT_EQ(cleaned("\xE2\x82z\xF0\x9F\x98"), "??z???");      // sequences cut short
    EXPECT_EQ(cleaned("\xC0\xAF\xE0\x80\xAF\xF0\x82\x82\xAC"), "?????????");  // overlong
    EXPECT_EQ(cleaned("\xED\xA0\x80\xF4\x90\x80\x80"), "???????");  // surrogate, > U+10FFFF
    EXPECT_EQ(cleaned(std::string("a\0\x01", 3)), "a");             // the zero ends it
    EXPECT_EQ(cleaned("\xD0\x94"), "\xD0\x94");
    EXPECT_EQ(cleaned(std::string("\xD0\x94", 1)), "?");  // read no further than told

    char in_place[] = "x\x1b\xC2\x9B\xD0\x94";  // as the machine name is cleaned
    clean_text(in_place, sizeof in_place, in_place, sizeof in_place);
    EXPECT_STREQ(in_place, "x??\xD0\x94");
}

TEST(CleanText, ACharacterThatDoesNotFitIsLeftOutWhole) {
    EXPECT_EQ(cleaned("ab\xD0\x94", 4), "ab");
    EXPECT_EQ(cleaned("ab\xD0\x94", 5), "ab\xD0\x94");
    EXPECT_EQ(cleaned("\xF0\x9F\x98\x80", 4), "");
    EXPECT_EQ(cleaned("a\x1b", 2), "a");
    EXPECT_EQ(cleaned("a", 1), "");
}

TEST(Slots, ClientsTakeTheLowestFreeSlotAbortsAndLeavesReturnItAndAFullTableRefuses) {
    PlayerTable table;
    init_player_table(table);
    EXPECT_EQ(reserve_slot(table), 1);
    EXPECT_EQ(reserve_slot(table), 2);
    abort_slot(table, 1);
    EXPECT_EQ(table.player_count, 1u);
    EXPECT_EQ(reserve_slot(table), 1);
    fill_slot(table, 1, 77, "ann");
    EXPECT_EQ(table.slots[1].slot_state, slot_in_game);
    EXPECT_STREQ(table.slots[1].name, "ann");
    abort_slot(table, 1);  // in game: only leaving frees it
    EXPECT_EQ(table.slots[1].slot_state, slot_in_game);
    for (int i = 3; i < kPlayerSlots; ++i) EXPECT_EQ(reserve_slot(table), i);
    EXPECT_EQ(reserve_slot(table), -1);
    EXPECT_EQ(table.player_count, 11u);
    free_slot(table, 1);
    free_slot(table, 0);  // the host's own slot is no client's
    EXPECT_EQ(table.player_count, 10u);
    EXPECT_EQ(table.slots[0].slot_state, slot_free);  // as init left it
}

TEST(HostList, AHostAnsweringTwiceIsListedOnceNewestFirst) {
    HostList list;
    HostEntry a{}, b{};
    a.instance[0] = 1;
    b.instance[0] = 2;
    EXPECT_TRUE(add_host(list, a));
    EXPECT_TRUE(add_host(list, b));
    EXPECT_FALSE(add_host(list, a));
    ASSERT_EQ(list.entries.size(), 2u);
    EXPECT_EQ(list.entries[0].instance[0], 2);
}

TEST(ScoresMessage, CountsRoundTripAndAPlayerDownTooLongIsRefused) {
    PlayerTable table{};
    table.slots[3].knockouts = 7;
    table.slots[5].down_ticks = kKnockedOutTicks;
    uint8_t bytes[kScoresMessageSize];
    encode_scores(table, bytes);
    Scores scores;
    ASSERT_TRUE(decode_scores(bytes, sizeof bytes, scores));
    EXPECT_EQ(scores.knockouts[3], 7u);
    EXPECT_EQ(scores.down_ticks[5], kKnockedOutTicks);
    EXPECT_FALSE(decode_scores(bytes, sizeof bytes - 1, scores));
    table.slots[5].down_ticks = kKnockedOutTicks + 1;
    encode_scores(table, bytes);
    EXPECT_FALSE(decode_scores(bytes, sizeof bytes, scores));
}

TEST(RateLimit, EachAddressGetsItsAnswersASecondAndNewAddressesTakeTheQuietestPlace) {
    RateLimit limit(3, 1000);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(limit.allow(7, 100));
    EXPECT_FALSE(limit.allow(7, 900));
    EXPECT_TRUE(limit.allow(8, 900));                               // another address has its own
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(limit.allow(7, 1100));  // a new second
    EXPECT_FALSE(limit.allow(7, 1150));
    for (uint32_t address = 100; address < 130; ++address) EXPECT_TRUE(limit.allow(address, 1200));
    EXPECT_TRUE(limit.allow(7, 1300));  // forgotten among thirty others: a fresh budget
}

// However many addresses ask, the answers of one second stay within the bound in all.
TEST(RateLimit, ManyAddressesShareOneBoundASecond) {
    RateLimit limit(8, 64);
    int answered = 0;
    for (uint32_t address = 1; address <= 40; ++address) {
        for (int i = 0; i < 10; ++i) answered += limit.allow(address, 500) ? 1 : 0;
    }
    EXPECT_EQ(answered, 64);
    EXPECT_TRUE(limit.allow(41, 1500));  // the next second
}

}  // namespace
