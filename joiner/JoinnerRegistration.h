#pragma once
// Makes the launcher open the real join window: registers JoinnerWindowController under the class name
// "JoinnerWindowController" (replacing any stand-in registered before).
void registerJoinnerWindowClass();
