// Reading the tables of a pack data file, checked against the file before anything is used.
#pragma once

#include "core/files/PackRecord.h"

#include <cstdint>
#include <vector>

struct FileStream;

// Reads the header, the type table and the entry table of the pack data file open in stream
// (opened plain, measured at open) and builds its type tables; every entry gets path as its
// path. Fails on a wrong magic or version, a short read, tables reaching past the end of the
// file, or type records whose entries reach past the entry table or add up to more entries
// than it holds, or when memory for the tables is short. An entry whose data reach past the
// end is kept: loading it fails on its own. On success *position is where the stream was
// left: the end of the entry table.
bool ReadPackDataTables(FileStream* stream, const char* path, std::vector<PackTypeTable>* types,
                        int32_t* position);
