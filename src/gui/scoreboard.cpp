#include "gui/scoreboard.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr float kWidth = 420, kHeight = 300;
constexpr float kColumnX[kScoreboardColumns] = {16, 220, 320};
constexpr float kHeaderY = 12, kFirstRowY = 34, kRowHeight = 20;
constexpr const char* kHeaders[kScoreboardColumns] = {"player", "element", "knock-outs"};
constexpr const char* kElementNames[] = {"zombie", "pirate", "ninja", "robot"};

const char* element_name(int32_t element) {
    return element >= 0 && element < 4 ? kElementNames[element] : kElementNames[0];
}

}  // namespace

void build_scoreboard(Scoreboard& board, int screen_width, int screen_height) {
    board.dialog.init((static_cast<float>(screen_width) - kWidth) / 2,
                      (static_cast<float>(screen_height) - kHeight) / 2, "players", kWidth,
                      kHeight);
    for (int column = 0; column < kScoreboardColumns; ++column)
        board.dialog.add_label(kLabelCommand, kHeaders[column], kColumnX[column], kHeaderY);
    for (int row = 0; row < kPlayerSlots; ++row) {
        for (int column = 0; column < kScoreboardColumns; ++column) {
            board.cells[row][column] =
                board.dialog.add_label(kLabelCommand, "", kColumnX[column],
                                       kFirstRowY + kRowHeight * static_cast<float>(row));
        }
    }
}

void fill_scoreboard(Scoreboard& board, const PlayerTable& table) {
    int row = 0;
    for (const PlayerRecord& r : table.slots) {
        if (r.slot_state != slot_in_game) continue;
        char name[kPlayerNameSize];
        std::memcpy(name, r.name, sizeof name);
        name[sizeof name - 1] = '\0';  // a name from the network may lack its end
        char count[16];
        std::snprintf(count, sizeof count, "%u", r.knockouts);
        const char* texts[kScoreboardColumns] = {name, element_name(r.element), count};
        for (int column = 0; column < kScoreboardColumns; ++column)
            if (Label* cell = board.cells[row][column]) cell->set_text(texts[column]);
        ++row;
    }
    for (; row < kPlayerSlots; ++row) {
        for (Label* cell : board.cells[row])
            if (cell) cell->set_text("");
    }
}
