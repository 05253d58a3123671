// What the launcher accepts as an archive entry name and as a version.
#pragma once

#include <string>

// Why the launcher would refuse name as an archive entry, or write it elsewhere than its
// studio meant on Windows; null when it lands where it says. '/' and '\' separate components.
const char* EntryNameProblem(const std::string& name);

// Why version cannot stand in an update list as the launcher reads it; null when it can.
const char* VersionProblem(const std::string& version);
