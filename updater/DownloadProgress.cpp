#include "updater/DownloadProgress.h"

std::atomic<float> downloadNow{0.0f};
std::atomic<float> downloadTotal{0.0f};

int DownloadProgress(void* user, double downloadTotalBytes, double downloadNowBytes, double,
                     double) {
    downloadTotal.store(float(downloadTotalBytes), std::memory_order_relaxed);
    downloadNow.store(float(downloadNowBytes), std::memory_order_relaxed);
    const std::atomic<bool>* stop = static_cast<const std::atomic<bool>*>(user);
    return stop && stop->load() ? 1 : 0;
}
