#include "updater/PackageSteps.h"

#include "updater/EntryPath.h"

#include <iterator>
#include <set>

void PackageSteps::Add(JournalStep::Kind kind, uint32_t staged, const char* name) {
    (kind == JournalStep::MakeDirectory ? directories : moves)
        .push_back(JournalStep{kind, staged, name});
}

bool PackageSteps::MoveInto(UpdateJournal* journal) {
    std::vector<JournalStep>& steps = journal->steps;
    steps.reserve(directories.size() + removed.size() + moves.size());
    steps.insert(steps.end(), std::make_move_iterator(directories.begin()),
                 std::make_move_iterator(directories.end()));
    std::set<std::string> moved;
    for (size_t i = 0; !removed.empty() && i < moves.size(); ++i)
        moved.insert(FoldedEntryName(moves[i].name));
    for (const std::string& name : removed) {
        char relative[kEntryNameSize];
        bool directory = false;
        if (name.size() >= kEntryNameSize || !IsSafeEntryName(name.c_str()) ||
            !EntryRelativeName(name.c_str(), relative, sizeof relative, &directory) || directory)
            return false;
        if (moved.count(FoldedEntryName(relative)) == 0)
            steps.push_back(JournalStep{JournalStep::Remove, 0, relative});
    }
    steps.insert(steps.end(), std::make_move_iterator(moves.begin()),
                 std::make_move_iterator(moves.end()));
    std::vector<JournalStep>().swap(moves);
    return steps.size() <= kJournalMaxSteps;
}
