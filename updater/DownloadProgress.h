// Progress of the transfer running now, for the status line: bytes received and bytes
// announced (0 while unknown). Written by the worker, read by the main loop.
#pragma once

#include <atomic>

extern std::atomic<float> downloadNow;
extern std::atomic<float> downloadTotal;

// libcurl progress function (CURLOPT_PROGRESSFUNCTION): publishes the download counts. user is
// the run's stop flag (a const std::atomic<bool>*, or null): once it reads true the function
// returns non-zero, which ends the transfer within about a second even when no data flows.
// The upload counts are not used.
int DownloadProgress(void* user, double downloadTotalBytes, double downloadNowBytes,
                     double uploadTotalBytes, double uploadNowBytes);
