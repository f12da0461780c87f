#include "app/hud.h"

#include <cstring>

namespace {

constexpr size_t kLabelsValueSize = 16;  // longer than any known value

}  // namespace

void read_hud_settings(Hud& hud, const Settings& settings) {
    char value[kLabelsValueSize];
    read_setting_string(settings, kSectionHud, kKeyLabels, value, sizeof value);
    hud.labels = std::strcmp(value, kLabelsName) == 0 ? label_name : label_full;
    hud.labels_read = hud.labels;
}

void toggle_labels(Hud& hud) {
    hud.labels = hud.labels == label_full ? label_name : label_full;
}

void save_hud_settings(Hud& hud, Settings& settings) {
    // Unchanged: the file keeps what it says, even a value the game does not know.
    if (hud.labels == hud.labels_read || !config_writable(settings, "the hud labels")) return;
    const char* value = hud.labels == label_name ? kLabelsName : kLabelsFull;
    if (write_setting_string(settings, kSectionHud, kKeyLabels, value))
        hud.labels_read = hud.labels;
}
