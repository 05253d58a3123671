#include "updater/RemovalRecord.h"

std::string RemovalRecordText(const std::vector<std::string>& names) {
    std::string text = kRemovalRecordHeader;
    for (const std::string& name : names)
        text += name + "\n";
    return text;
}

bool RemovalRecordNames(const std::string& data, std::vector<std::string>* names) {
    const std::string header = kRemovalRecordHeader;
    if (data.compare(0, header.size(), header) != 0)
        return false;
    names->clear();
    for (size_t start = header.size(); start < data.size();) {
        size_t end = data.find('\n', start);
        if (end == std::string::npos)
            end = data.size();
        names->push_back(data.substr(start, end - start));
        start = end + 1;
    }
    return true;
}
