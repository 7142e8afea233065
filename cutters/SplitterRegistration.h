#pragma once
// Makes the launcher open the real splitter window: registers SplitWindowController under the class
// name "SplitWindowController" (replacing any stand-in registered before).
void registerSplitterWindowClass();
