// What the launcher starts once the update check is over, and what the started program gets.
#pragma once

class Updater;

// The one argument of every program the launcher starts (the game and LauncherUpdater.exe):
// it tells the program that the launcher has brought the installation up to date.
constexpr char kStartToken = 'L';

// LauncherUpdater.exe when an applied package delivered a new launcher, else the game. Only
// valid once the updater has published a final state.
const char* NextProgram(const Updater& updater);
