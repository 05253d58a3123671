#include "launcher/MainLoop.h"

#include "core/debug/CrashReporter.h"
#include "launcher/FrontEnd.h"
#include "launcher/HandOff.h"
#include "launcher/ProgressTracker.h"
#include "launcher/StatusText.h"
#include "launcher/StatusView.h"
#include "launcher/WakingUpdater.h"
#include "updater/ConfigKeys.h"
#include "updater/DownloadProgress.h"

#include <cstdio>
#include <cstdlib>

std::atomic<bool> quitRequested{false};

void RunMainLoop(Updater& updater, const EntrySettings& settings, FrontEnd& frontEnd,
                 TimeStamp start, uint32_t frameWait) {
    TimeStamp previous = start;
    float dotPhase = 0.0f;
    ProgressTracker tracker;
    StatusView view;
    while (!quitRequested.load()) {
        TimerSample();
        const TimeStamp now = TimerNow();
        dotPhase = AdvanceDotPhase(dotPhase, (now - previous).Seconds());
        previous = now;

        // Acquire: a final state brings newLauncher and appPath with it, an ended extraction
        // its last counts.
        const int32_t state = updater.state.load(std::memory_order_acquire);
        const int32_t extractions = updater.extractions.load(std::memory_order_acquire);
        const ProgressCounts counts{downloadNow.load(std::memory_order_relaxed),
                                    downloadTotal.load(std::memory_order_relaxed),
                                    updater.extractedBytes.load(std::memory_order_relaxed),
                                    updater.extractTotalBytes.load(std::memory_order_relaxed)};
        view.seconds = (now - start).Seconds();
        view.progress = tracker.Next(view.seconds, {state, counts, extractions});
        FormatStatus(view.text, view.progress.state, dotPhase, settings, view.progress.counts);
        view.speedText[0] = '\0';
        if (view.progress.state == Downloading)
            FormatSpeed(view.speedText, settings.textSpeed, view.progress.bytesPerSecond,
                        view.progress.secondsLeft);
        frontEnd.ShowStatus(view);
        const bool over = view.progress.state == Aborted || view.progress.state == Finished;
        if (over) {
            const char token[2] = {kStartToken, '\0'};
            frontEnd.StartProgram(NextProgram(updater), token);
            quitRequested.store(true);
        }
        frontEnd.Pump(quitRequested.load() ? 0 : frameWait);
    }
}

int LauncherMain(FrontEnd& frontEnd, uint32_t frameWait) {
    // Constructed but not installed: a crash of the launcher ends it as the system would.
    CrashReporter crashReporter;
    WakingUpdater updater(frontEnd);
    if (!FormLauncherPaths(&updater)) {
        frontEnd.ReportFailure("The installation directory's path is too long.");
        return 1;
    }
    TimerInit();
    const TimeStamp start = TimerNow();
    EntrySettings settings;
    ReadEntrySettings(updater.iniPath, &settings);
    updater.messageOwner = frontEnd.Open(settings);

    // Without a worker the state reads Aborted and the game is started as after any aborted
    // run; the worker would have read its path.
    if (updater.Start(ThreadWorker::PriorityNormal) < 0)
        ReadConfigText(config::kApp, updater.appPath, updater.iniPath);
    RunMainLoop(updater, settings, frontEnd, start, frameWait);
    frontEnd.Close();
    if (updater.IsRunning()) {
        std::fflush(nullptr);
        std::_Exit(0);
    }
    return 0;
}
