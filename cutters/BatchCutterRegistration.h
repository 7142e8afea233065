#pragma once
// Makes the launcher open the real batch cutter: registers BatchCutterWindowController under the class
// name "BatchCutterWindowController" (replacing any stand-in registered before).
void registerBatchCutterWindowClass();
