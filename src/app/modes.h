// The program's top-level mode, the open dialog, and the window procedure that decides who
// gets each message: while the menu shows, the menu dialog, then the open dialog; then
// Escape and the menu's commands.
#pragma once
#include <cstdint>

#include "app/game.h"
#include "platform/message.h"

// Stores the mode and shows the menu buttons that belong to it; entering play puts the
// camera at eye (0, 5, 5) looking at the origin.
void set_mode(Game& game, TopLevelMode mode);
// Playing and paused swap; any other mode becomes mode_menu.
void toggle_menu(Game& game);
// A value outside 0..4 closes the dialog.
void set_dialog_mode(Shell& shell, DialogMode dialog);
// Starts a local game as host or client with the element chosen in its dialog, and plays.
void start_local_game(Game& game, bool host);
// Hosts a game on the network (the create dialog's server name, [net] port of config.cfg,
// default 4711) and plays it as its host; without a network session a local game. A port
// that cannot be opened leaves the menu as it was, with a console line.
void start_hosting(Game& game);
// Hosts a game with no player of the host's own (--dedicated): slot 0 stays free, the
// game is named by [player] name ("torvi" without one) and fights by [game] knockouts. A
// port that cannot be opened says so and quits.
void start_dedicated_host(Game& game);
// Connects to the game at host:port; the join dialog shows "connecting to ..." and the
// menu stays until the host's welcome (enter_joined_game) or the join's end (end_game).
// Without a network session, or with an address that cannot be used, a line says so.
void join_game_at(Game& game, const char* host, uint16_t port);
// The host welcomed the joining player: its game starts, in the slot it was given.
void enter_joined_game(Game& game);
// The same from "ADDRESS[:PORT]" (the port after the last colon; 4711 without one); a bad
// port is a console line.
void join_game_from_text(Game& game, const char* target);
// Leaves or stops the network game and returns to the menu; "disconnect" and a session
// that ended (why says so on the console) come here. A join that ends before its welcome
// leaves the menu as it is, saying why in the join dialog and on the console.
void end_game(Game& game, const char* why);

// Saves the settings kept across runs (dialog positions, then the control table, then the
// labels' mode if F3 changed it) and ends the loop. A second call saves nothing.
void quit_program(Game& game);

// Routes one message; 1 when a dialog consumed it, else 0. Closing the window quits.
int window_procedure(Game& game, const Message& msg);
