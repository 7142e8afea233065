#pragma once
// Makes the launcher open the real easy cutter: registers EasyCutterWindowcontroller under the class name
// "EasyCutterWindowcontroller" (replacing any stand-in registered before).
void registerEasyCutterWindowClass();
