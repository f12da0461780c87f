// The editor's view: the map sub-mode's terrain with the square under the cursor, or the
// pose sub-mode's bone figure and the dressed character with its trail; then the open
// file dialogs of the sub-mode shown.
#pragma once

#include "editor/editor.h"
#include "gui/gl_widgets.h"
#include "map/gl_terrain.h"
#include "skeleton/gl_characters.h"

struct EditorDrawing {
    TerrainResources& terrain;
    const CharacterAssets& characters;
    const BoneMarkerAssets& markers;
};

// Inside the scene, after the edge moves, with the camera's view.
void draw_editor_scene(Renderer& device, EditorDrawing& drawing, const Editor& editor,
                       const Camera& cam);
// Over the editor dialog: the load dialog, then the save dialog, of the sub-mode shown.
void draw_editor_file_dialogs(const Renderer& device, WidgetDrawing& widgets, Font* font,
                              const Editor& editor);
