// Replacing a file as a whole, so that a crash or a full disk leaves the old file or the new
// one and never a mixture.
//
// Contract (every target):
//   PlatformSyncFile(stream)
//       flushes the stream's buffers and asks the system to put the file's data on the device.
//       Returns true when both succeeded; false leaves the file in an unknown state. The stream
//       stays open. stream must not be null.
//   PlatformStartWriteback(stream)
//       flushes the stream's buffers and asks the system to start putting the file's data on
//       the device without waiting for it, so that a later sync has less left to wait for.
//       Returns false when the buffers could not be flushed; where the system has no such
//       request (Windows) only the buffers are flushed. The stream stays open.
//   PlatformReplaceFile(source, target)
//       renames the file source to target in one step, replacing target when it exists: a
//       reader of target sees either the old file or the new one. Both paths must lie in one
//       directory (one volume). Returns true on success; on failure source and target are
//       left as they were. On Windows a source or target that another program holds open
//       for a moment (a virus scanner, an indexer) is waited for, up to about 2 seconds.
//   PlatformMoveFile(source, target)
//       as PlatformReplaceFile, but the new directory entries are made durable only by a later
//       PlatformSyncDirectory of the target's directory, so that many moves share one sync.
//       On Windows the move is written through before it returns.
//   PlatformSyncVolume(path)
//       asks the system to put everything written so far on the volume that holds path (file
//       data and directory entries alike) on the device, in one request rather than one per
//       file. False when the system cannot do that here (on Windows it needs administrator
//       rights and a drive letter); the caller then syncs file by file.
//   PlatformSyncDirectory(path)
//       asks the system to put the entries of the directory at path (its creations, renames
//       and removals so far) on the device. False when that failed or path cannot be opened.
#pragma once

#include <cstdio>

bool PlatformSyncFile(FILE* stream);
bool PlatformStartWriteback(FILE* stream);
bool PlatformReplaceFile(const char* source, const char* target);
bool PlatformMoveFile(const char* source, const char* target);
bool PlatformSyncDirectory(const char* path);
bool PlatformSyncVolume(const char* path);
