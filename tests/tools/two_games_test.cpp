// Two real game processes on 127.0.0.1, offscreen, each with a script: a host whose player
// steps forward, and a client standing still. The client's camera follows its own player,
// so between its screenshot before the step and the one after it the host's character
// shows up where the host went: above the client's player on the client's screen. The
// scripts wait for files the test makes once the other side is ready, so no start-up time
// is guessed. Then the host's record, replayed with no network, draws the host's picture
// again.
#include <SDL_image.h>
#include <enet/enet.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/game_process.h"
#include "support/net_side.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

// A port no one uses right now: bound once, then given back.
uint16_t free_port() {
    ENetAddress address{ENET_HOST_ANY, 0};
    ENetSocket socket = enet_socket_create(ENET_SOCKET_TYPE_DATAGRAM);
    enet_socket_bind(socket, &address);
    enet_socket_get_address(socket, &address);
    enet_socket_destroy(socket);
    return address.port;
}

// Starts the game in folder with the arguments, stdout and stderr to folder/out.txt.
pid_t start_game(const fs::path& folder, std::initializer_list<const char*> args) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    const std::string out = (folder / "out.txt").string();
    freopen(out.c_str(), "w", stdout);
    freopen(out.c_str(), "a", stderr);
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    std::vector<const char*> argv = {TORVI_GAME, "--windowed", "--data", folder.c_str()};
    argv.insert(argv.end(), args);
    argv.push_back(nullptr);
    execv(TORVI_GAME, const_cast<char* const*>(argv.data()));
    _exit(127);
}

// A dedicated host in folder, with a video driver that does not exist: one that opened
// any window or GL context would fail.
pid_t start_dedicated(const fs::path& folder) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    const std::string out = (folder / "out.txt").string();
    freopen(out.c_str(), "w", stdout);
    freopen(out.c_str(), "a", stderr);
    setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    execl(TORVI_GAME, TORVI_GAME, "--dedicated", "--data", folder.c_str(), nullptr);
    _exit(127);
}

bool said(const fs::path& folder, const char* text) {
    return read_text(folder / "out.txt").find(text) != std::string::npos;
}

void touch(const fs::path& file) {
    write_text(file, "");
}

// The game's data and config.cfg with [net] port set to port, in folder.
void make_game_folder(const fs::path& folder, uint16_t port) {
    fs::create_directories(folder);
    fs::copy(fs::path(TORVI_SOURCE_DIR) / "Data", folder / "Data", fs::copy_options::recursive);
    write_text(folder / "config.cfg", read_text(fs::path(TORVI_SOURCE_DIR) / "config.cfg") +
                                          "\n[net]\nport=" + std::to_string(port) + "\n");
}

struct SurfaceFree {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};

TEST(TwoGames, TheHostsWalkShowsOnTheClientsScreen) {
    TempFolder root("torvi-two-games-");
    ASSERT_TRUE(root.ok());
    const uint16_t port = free_port();
    for (const char* side : {"host", "client"}) make_game_folder(root.path() / side, port);
    const fs::path host = root.path() / "host", client = root.path() / "client";
    // The host steps once the client has its first picture, shows its own, and stays until
    // the client has its second; the client takes each picture when told.
    write_text(host / "walk.txt",
               "0 wait file step\n100 key down W\n200 key up W\n1000 screenshot live.png\n"
               "1001 wait file done\n1002 quit\n");
    // The host's world reaches the client a moment after the walk, later on a loaded
    // machine: a second picture well after the first catches it then.
    write_text(client / "look.txt",
               "0 wait file shoot-a\n500 screenshot a.png\n501 wait file shoot-b\n"
               "1000 screenshot b.png\n2500 screenshot c.png\n2501 quit\n");
    const std::string target = "127.0.0.1:" + std::to_string(port);

    const pid_t host_pid =
        start_game(host, {"--host", "--script", "walk.txt", "--record", "record.txt"});
    ASSERT_TRUE(wait_for([&] { return said(host, "hosting"); })) << read_text(host / "out.txt");
    const pid_t client_pid = start_game(client, {"--join", target.c_str(), "--script", "look.txt"});
    EXPECT_TRUE(wait_for([&] { return said(client, "as player 1"); }))
        << read_text(client / "out.txt");
    touch(client / "shoot-a");
    EXPECT_TRUE(wait_for([&] { return fs::exists(client / "a.png"); }));
    touch(host / "step");
    EXPECT_TRUE(wait_for([&] { return fs::exists(host / "live.png"); }));
    touch(client / "shoot-b");
    EXPECT_TRUE(wait_for([&] { return fs::exists(client / "c.png"); }));
    touch(host / "done");
    EXPECT_EQ(finish(client_pid), 0) << read_text(client / "out.txt");
    EXPECT_EQ(finish(host_pid), 0) << read_text(host / "out.txt");

    std::unique_ptr<SDL_Surface, SurfaceFree> a(IMG_Load((client / "a.png").c_str()));
    ASSERT_TRUE(a) << IMG_GetError();
    // The client's player stands still at the middle of the window, beside the host's start;
    // below the console's lines only the host's character and its label can change.
    auto changed_since_a = [&](const char* name) {
        std::unique_ptr<SDL_Surface, SurfaceFree> b(IMG_Load((client / name).c_str()));
        if (!b || a->w != b->w || a->h != b->h || a->format->format != b->format->format) return -1;
        int changed = 0;
        const int bytes = a->format->BytesPerPixel;
        for (int y = 200; y < a->h; ++y) {
            const auto* pa = static_cast<const uint8_t*>(a->pixels) + y * a->pitch;
            const auto* pb = static_cast<const uint8_t*>(b->pixels) + y * b->pitch;
            for (int x = 0; x < a->w; ++x)
                changed += std::memcmp(pa + x * bytes, pb + x * bytes, bytes) != 0;
        }
        return changed;
    };
    EXPECT_GT(std::max(changed_since_a("b.png"), changed_since_a("c.png")), 2000)
        << "the host's character walked on the client's screen";

    // The record replayed takes the host's picture again, pixel for pixel.
    fs::rename(host / "live.png", host / "live-first.png");
    EXPECT_EQ(finish(start_game(host, {"--replay", "record.txt", "--fast"})), 0)
        << read_text(host / "out.txt");
    std::unique_ptr<SDL_Surface, SurfaceFree> live(IMG_Load((host / "live-first.png").c_str()));
    std::unique_ptr<SDL_Surface, SurfaceFree> again(IMG_Load((host / "live.png").c_str()));
    ASSERT_TRUE(live && again) << IMG_GetError();
    ASSERT_EQ(live->h * live->pitch, again->h * again->pitch);
    EXPECT_EQ(std::memcmp(live->pixels, again->pixels, live->h * live->pitch), 0);
}

// A host with no screen: the first client gets slot 1 (slot 0 is nobody's), and SIGTERM
// tells it the host ended the game before the host exits cleanly.
TEST(TwoGames, ADedicatedHostTakesAClientAndEndsItsGameOnSigterm) {
    TempFolder root("torvi-dedicated-");
    ASSERT_TRUE(root.ok());
    const uint16_t port = free_port();
    make_game_folder(root.path(), port);
    const pid_t host = start_dedicated(root.path());
    ASSERT_TRUE(wait_for([&] { return said(root.path(), "hosting"); }))
        << read_text(root.path() / "out.txt");

    NetSide client;
    ASSERT_TRUE(client.join(port, "bea"));
    EXPECT_TRUE(wait_for([&] {
        client.pump();
        return client.state.welcomed;
    }));
    EXPECT_EQ(client.session.local_player_index, 1);
    EXPECT_TRUE(wait_for([&] { return said(root.path(), "player 1 joined: bea"); }))
        << read_text(root.path() / "out.txt");

    kill(host, SIGTERM);
    EXPECT_TRUE(wait_for([&] {
        client.pump();
        return client.ended;
    }));
    EXPECT_STREQ(client.why, "the host ended the game");
    EXPECT_EQ(finish(host), 0) << read_text(root.path() / "out.txt");
}

}  // namespace
