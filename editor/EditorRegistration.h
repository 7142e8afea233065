#pragma once
// Makes the launcher open the real editor window: registers EditVideoWindowController under the class
// name "EditVideoWindowController" (replacing any stand-in registered before).
void registerEditorWindowClass();
