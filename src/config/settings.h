// The settings store: config.cfg read once into a Settings object, which the game passes
// down to whatever reads or writes a setting.
//
// Reads work on the text in memory and never touch the disk. A missing section or key
// reads as 0 or "error". A write reads the file again, changes only its one key in that
// fresh text (so edits made to the file while the game ran are kept), saves it atomically
// and keeps the saved text in memory.
#pragma once

#include <cstddef>
#include <string>

inline constexpr char kConfigFileName[] = "config.cfg";

// The shipped config.cfg (the art generator writes it), and what a folder without one runs
// with: what the game needs to start, the default keyboard bindings (letter indices: W, S,
// A, D, J, K, L), where the menu and settings dialogs first open, the player's name, sound,
// the full status labels, and games hosted without knock-outs.
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
    "[sound]\nactive=1\nvolume=80\n\n"
    "[hud]\nlabels=full\n\n"
    "[game]\nknockouts=0\n";
inline constexpr char kSettingMissingText[] = "error";

// Every section and key the game uses.
inline constexpr char kSectionShell[] = "shell";
inline constexpr char kKeyTexturecfg[] = "texturecfg";
inline constexpr char kKeyHalWarningShown[] = "hal_warning_shown";  // 1: the box was shown
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
inline constexpr char kSectionGame[] = "game";
inline constexpr char kKeyKnockouts[] = "knockouts";  // 1: a hosted game knocks players out
inline constexpr char kSectionHud[] = "hud";
inline constexpr char kKeyLabels[] = "labels";  // the characters' labels: full or name

// The values of input type; only exactly "gamepad" selects the gamepad.
inline constexpr char kInputTypeGamepad[] = "gamepad";
inline constexpr char kInputTypeKeyboard[] = "tastatur";
// The values of hud labels; anything but exactly "name" reads as the full label.
inline constexpr char kLabelsFull[] = "full";
inline constexpr char kLabelsName[] = "name";

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

enum SettingsLoad {
    settings_ok,       // the file was read
    settings_missing,  // no file: the shipped settings (kShippedConfig) are used
    settings_failed,   // the file exists but could not be read; why says why
};

// One config file as the game runs with it. Made in main (or a test), loaded once, and
// passed down: const for readers, mutable for writers.
struct Settings {
    std::string path;  // absolute, as the name resolved when it was loaded; empty before
    SettingsLoad load = settings_missing;
    // What reads search: the file's text, or kShippedConfig when missing (and before a
    // load); empty when the file failed to load.
    std::string text = kShippedConfig;
    std::string why;  // settings_failed: what went wrong
    // An installed game's shipped config.cfg: while the file at path is missing, its text
    // stands in for kShippedConfig, so the first save starts from it.
    std::string shipped_path;
    // Every write changes text only and never the disk: for a replay, whose settings come
    // from the record and must not overwrite the player's file. Loading leaves it as it is.
    bool memory_only = false;
};

// Reads the file at path (resolved against the current folder now) into settings. A file
// that exists but cannot be read (or is larger than any real one) gets one stderr line and
// reads as if every setting were missing; false then.
bool load_settings(Settings& settings, const char* path = kConfigFileName);

// The integer value of key in section; 0 when the section or key is missing.
int read_setting_int(const Settings& settings, const char* section, const char* key);
// The same, but fallback when the section or key is missing.
int read_setting_int_or(const Settings& settings, const char* section, const char* key,
                        int fallback);

// Copies at most size - 1 characters of the value and a terminating zero into buffer;
// "error" when the section or key is missing. Writes nothing when size is 0.
void read_setting_string(const Settings& settings, const char* section, const char* key,
                         char* buffer, size_t size);

// False when no config file was found at load, so the built-in settings are used.
bool config_present(const Settings& settings);

// False, with one line on stderr naming what, when the config file exists but its owner
// made it read-only: a caller about to write several settings then writes none. Always
// true for memory-only settings.
bool config_writable(const Settings& settings, const char* what);

// Write value as "%d" text or as text cut at its first line break: the file is read
// again, changed in that one key and saved atomically (not at all when the key already
// holds the value); settings.text is then the file's text. False, with a line on stderr,
// when nothing was changed, on disk or in memory: an unusable name, settings never loaded
// (no path to save to), a file that exists but cannot be read (rewriting it would lose its
// settings), a file that would grow past the size limit, or a failed save, which keeps the
// old file whole. With memory_only set, they are set_setting_in_memory.
bool write_setting_int(Settings& settings, const char* section, const char* key, int value);
bool write_setting_string(Settings& settings, const char* section, const char* key,
                          const char* value);

// Sets key in section of settings.text only, as a write would change it, and never
// touches the disk: later reads see the value, and the file keeps what it had. False,
// with a line on stderr, for an unusable name or no value.
bool set_setting_in_memory(Settings& settings, const char* section, const char* key,
                           const char* value);
