// The updater as the launcher runs it: once its run has ended, it wakes the main loop, so that
// the next program starts at once rather than at the loop's next frame.
#pragma once

#include "launcher/FrontEnd.h"
#include "updater/Updater.h"

class WakingUpdater : public Updater {
public:
    explicit WakingUpdater(FrontEnd& frontEnd) : frontEnd(frontEnd) {}

protected:
    void Run() override {
        Updater::Run();
        frontEnd.Wake();
    }

private:
    FrontEnd& frontEnd;
};
