// The files a version dropped, as its package records them: one directory entry that names the
// installation directory itself ("./"), whose data list them. Launchers that know no such
// record pass over every directory entry without reading its data, and this one makes no
// directory either, so they apply the package as before.
#pragma once

#include <string>
#include <vector>

constexpr const char kRemovalRecordName[] = "./";
// The record's first line; data that do not begin with it are no record.
constexpr const char kRemovalRecordHeader[] = "removed files\n";
// A longer record is refused as damaged.
constexpr size_t kRemovalRecordMaxBytes = 16u << 20;

// The record's data for names (installation-relative, '/' between components).
std::string RemovalRecordText(const std::vector<std::string>& names);

// The names of data, one a line after the header. False when data are no record.
bool RemovalRecordNames(const std::string& data, std::vector<std::string>* names);
