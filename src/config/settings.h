// The settings store: config.cfg in the current folder, read and written one key at a time.
//
// Every call opens the file anew (the name resolves against the current folder at that
// moment); nothing is kept between calls. A missing file, section or key reads as 0 or
// "error". A write rewrites the whole file atomically, changing only its one key.
#pragma once

#include <cstddef>

inline constexpr char kConfigFileName[] = "config.cfg";

// The shipped config.cfg (the art generator writes it), and what a folder without one runs
// with: what the game needs to start, the default keyboard bindings (letter indices: W, S,
// A, D, J, K, L), where the menu and settings dialogs first open, and the player's name.
// A first save writes it out whole, with the changed key.
inline constexpr char kShippedConfig[] =
    "[shell]\ntexturecfg=Data/textures.cfg\n\n"
    "[shaders]\nToonSurfaceShader=Data/shaders/toon_surface.glsl\n"
    "ToonPixelShader=Data/shaders/toon_pixel.glsl\n\n"
    "[console]\nposx=8\nposy=8\nsize=14\nfont=Tahoma\ntextlines=8\n\n"
    "[menu_dialog]\nposx=80\nposy=100\n\n"
    "[settings_dialog]\nposx=200\nposy=150\n\n"
    "[editor_dialog]\nposx=370\nposy=470\n\n"
    "[input]\nforward=22\nbackward=18\nleft=0\nright=3\njump=9\nprimattack=10\n"
    "secnattack=11\ntype=tastatur\n\n"
    "[player]\nname=pelundo\n\n"
    "[sound]\nactive=1\nvolume=80\n";
inline constexpr char kSettingMissingText[] = "error";

// Every section and key the game uses.
inline constexpr char kSectionShell[] = "shell";
inline constexpr char kKeyTexturecfg[] = "texturecfg";
inline constexpr char kSectionShaders[] = "shaders";
inline constexpr char kKeyToonPixelShader[] = "ToonPixelShader";
inline constexpr char kKeyToonSurfaceShader[] = "ToonSurfaceShader";
inline constexpr char kSectionConsole[] = "console";
inline constexpr char kKeySize[] = "size";
inline constexpr char kKeyFont[] = "font";
inline constexpr char kKeyTextlines[] = "textlines";
inline constexpr char kSectionMenuDialog[] = "menu_dialog";
inline constexpr char kSectionSettingsDialog[] = "settings_dialog";
inline constexpr char kSectionEditorDialog[] = "editor_dialog";
inline constexpr char kKeyPosx[] = "posx";  // console and dialogs
inline constexpr char kKeyPosy[] = "posy";
inline constexpr char kSectionInput[] = "input";
inline constexpr char kKeyType[] = "type";
inline constexpr char kKeyForward[] = "forward";
inline constexpr char kKeyBackward[] = "backward";
inline constexpr char kKeyLeft[] = "left";
inline constexpr char kKeyRight[] = "right";
inline constexpr char kKeyJump[] = "jump";
inline constexpr char kKeyPrimattack[] = "primattack";
inline constexpr char kKeySecnattack[] = "secnattack";

inline constexpr char kSectionPlayer[] = "player";
inline constexpr char kKeyName[] = "name";  // the player's name, shown to the others
inline constexpr char kSectionNet[] = "net";
inline constexpr char kKeyEnumerate[] = "enumerate";  // where "refresh" asks for games
inline constexpr char kKeyPort[] = "port";            // the port a hosted game listens on
inline constexpr char kSectionSound[] = "sound";
inline constexpr char kKeyActive[] = "active";  // "Sound Effects Active": 1 on, 0 off
inline constexpr char kKeyVolume[] = "volume";  // 0..100
inline constexpr int kDefaultSoundVolume = 80;

// The values of input type; only exactly "gamepad" selects the gamepad.
inline constexpr char kInputTypeGamepad[] = "gamepad";
inline constexpr char kInputTypeKeyboard[] = "tastatur";

// The buffers the string settings are read into.
inline constexpr size_t kTexturecfgBufferSize = 512;
inline constexpr size_t kShaderNameBufferSize = 256;
inline constexpr size_t kConsoleFontBufferSize = 256;
inline constexpr size_t kInputTypeBufferSize = 80;

// The order in which quitting writes the dialog positions, then the bindings.
inline constexpr const char* kDialogSectionsInQuitOrder[] = {
    kSectionMenuDialog, kSectionSettingsDialog, kSectionEditorDialog};
inline constexpr const char* kBindingKeysInQuitOrder[] = {
    kKeyBackward, kKeyForward, kKeyLeft, kKeyRight, kKeyJump, kKeyPrimattack, kKeySecnattack};

// The integer value of key in section; 0 when the file, section or key is missing.
int read_setting_int(const char* section, const char* key);
// The same, but fallback when the file, section or key is missing.
int read_setting_int_or(const char* section, const char* key, int fallback);

// Copies at most size - 1 characters of the value and a terminating zero into buffer;
// "error" when the file, section or key is missing. Writes nothing when size is 0.
void read_setting_string(const char* section, const char* key, char* buffer, size_t size);

// False when the current folder has no config.cfg, so the built-in settings are used.
bool config_present();

// False, with one line on stderr naming what, when config.cfg exists but its owner made it
// read-only: a caller about to write several settings then writes none.
bool config_writable(const char* what);

// Write value as "%d" text or as text cut at its first line break. False, with a line on
// stderr, when config.cfg was not changed: an unusable name, a config.cfg that exists but
// cannot be read (rewriting it would lose its settings), or a failed save, which keeps the
// old file whole.
bool write_setting_int(const char* section, const char* key, int value);
bool write_setting_string(const char* section, const char* key, const char* value);
