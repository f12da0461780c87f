// The game under a real X server (Xvfb, drawing with Mesa in software): a run nobody
// watches says that the graphics are slow in a line and ends by itself, where a box
// would wait for a click for ever.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/game_process.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

// An X server on a display it picks itself, stopped when this ends; display() is empty
// when none could be started.
class XServer {
  public:
    XServer() {
        int fds[2];
        if (pipe(fds) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24",
                   "-nolisten", "tcp", nullptr);
            _exit(127);
        }
        close(fds[1]);
        // The server writes its display number and a newline once it takes connections; the
        // pipe stays open while it runs, as it may write in pieces.
        pipe_ = fds[0];
        std::string number;
        pollfd ready{pipe_, POLLIN, 0};
        char c = 0;
        while (pid_ > 0 && poll(&ready, 1, 120000) > 0 && read(pipe_, &c, 1) == 1 && c != '\n')
            number += c;
        if (c == '\n' && !number.empty()) display_ = ":" + number;
    }
    ~XServer() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        if (pipe_ != -1) close(pipe_);
    }
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    const std::string& display() const { return display_; }

  private:
    pid_t pid_ = -1;
    int pipe_ = -1;
    std::string display_;
};

// The game in folder on the X server, output to folder/out.txt.
pid_t start_on(const std::string& display, const fs::path& folder, std::vector<const char*> args) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    const std::string out = (folder / "out.txt").string();
    freopen(out.c_str(), "w", stdout);
    freopen(out.c_str(), "a", stderr);
    setenv("DISPLAY", display.c_str(), 1);
    setenv("SDL_VIDEODRIVER", "x11", 1);
    std::vector<const char*> argv = {TORVI_GAME, "--windowed", "--data", folder.c_str()};
    argv.insert(argv.end(), args.begin(), args.end());
    argv.push_back(nullptr);
    execv(TORVI_GAME, const_cast<char* const*>(argv.data()));
    _exit(127);
}

TEST(RealDisplay, RunsNobodyWatchesEndByThemselvesAndSaySoftwareIsSlow) {
    const XServer x;
    if (x.display().empty()) GTEST_SKIP() << "no Xvfb here (scripts/install-deps.sh installs it)";
    TempFolder folder("torvi-x11-");
    ASSERT_TRUE(folder.ok());
    fs::copy(fs::path(TORVI_SOURCE_DIR) / "Data", folder.path() / "Data",
             fs::copy_options::recursive);
    const std::string config = read_text(fs::path(TORVI_SOURCE_DIR) / "config.cfg");
    write_text(folder.path() / "config.cfg", config);
    write_text(folder.path() / "walk.txt", "100 key down W\n300 key up W\n400 quit\n");

    const std::vector<std::vector<const char*>> runs = {
        {"--play", "--frames", "20", "--screenshot", "shot.png"},
        {"--play", "--script", "walk.txt"},
    };
    for (const auto& run : runs) {
        EXPECT_EQ(finish(start_on(x.display(), folder.path(), run)), 0)
            << run[1] << ": " << read_text(folder.path() / "out.txt");
        EXPECT_NE(read_text(folder.path() / "out.txt")
                      .find("torvi: Kein HAL-Device - das wird langsam!\n"),
                  std::string::npos)
            << read_text(folder.path() / "out.txt");
    }
    EXPECT_TRUE(fs::exists(folder.path() / "shot.png"));
    EXPECT_EQ(read_text(folder.path() / "config.cfg").find("hal_warning_shown"), std::string::npos)
        << "an unattended run leaves the one box for the player";
}

}  // namespace
