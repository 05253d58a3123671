#include "updater/TransferResume.h"

#include "core/platform/Thread.h"
#include "core/strings/BoundedText.h"
#include "updater/DownloadProgress.h"
#include "updater/PackageFile.h"
#include "updater/PartialPackage.h"

// The progress function keeps the double-argument form its callers read.
#define CURL_DISABLE_DEPRECATION
#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

constexpr uint32_t kPauseStepMilliseconds = 50;
// Pauses stop doubling here.
constexpr int kMostDoublings = 6;

struct Resume {
    CURL* handle;
    PackageFile* target;
    const std::atomic<bool>* cancel;
    uint64_t offset; // bytes of the package before this attempt's answer
    bool ranged;     // this attempt asked for the rest
    bool judged;     // this attempt's answer has been taken or refused
    bool fromZero;   // the bytes kept cannot be continued
    // Its validator is what "If-Range" names.
    PartialPackage* partial;
    // Of the answer being received.
    char etag[kValidatorSize];
    char lastModified[kValidatorSize];
    int64_t rangeStart; // where its "Content-Range" starts; -1 for none
};

// Whether the header line is the header name (lower case); *value then points at its value.
bool IsHeader(const char* line, size_t length, const char* name, const char** value) {
    const size_t nameLength = strlen(name);
    if (length <= nameLength || line[nameLength] != ':')
        return false;
    for (size_t i = 0; i < nameLength; ++i)
        if (tolower(static_cast<unsigned char>(line[i])) != name[i])
            return false;
    *value = line + nameLength + 1;
    return true;
}

// The header's value without the blanks around it; empty when it does not fit.
void TakeValue(const char* value, const char* end, char (&destination)[kValidatorSize]) {
    while (value < end && (*value == ' ' || *value == '\t'))
        ++value;
    while (end > value && isspace(static_cast<unsigned char>(end[-1])))
        --end;
    const size_t length = size_t(end - value);
    destination[0] = '\0';
    if (length < sizeof destination) {
        memcpy(destination, value, length);
        destination[length] = '\0';
    }
}

// libcurl header function: notes the validators and the range of each answer.
size_t ReadHeader(char* line, size_t itemSize, size_t itemCount, void* state) {
    Resume* resume = static_cast<Resume*>(state);
    const size_t length = itemSize * itemCount;
    const char* value = nullptr;
    if (length >= 5 && memcmp(line, "HTTP/", 5) == 0) {
        // Every answer (a redirect's too) starts afresh.
        resume->etag[0] = resume->lastModified[0] = '\0';
        resume->rangeStart = -1;
    } else if (IsHeader(line, length, "etag", &value)) {
        TakeValue(value, line + length, resume->etag);
    } else if (IsHeader(line, length, "last-modified", &value)) {
        TakeValue(value, line + length, resume->lastModified);
    } else if (IsHeader(line, length, "content-range", &value)) {
        char range[kValidatorSize];
        TakeValue(value, line + length, range);
        unsigned long long start = 0;
        char dash = '\0';
        if (StrScan(range, "bytes %llu%c", &start, &dash) == 2 && dash == '-')
            resume->rangeStart = int64_t(start);
    }
    return length;
}

// "If-Range" takes a strong validator only: an ETag without "W/", else the date.
const char* AnswerValidator(const Resume& resume) {
    return resume.etag[0] && strncmp(resume.etag, "W/", 2) != 0 ? resume.etag : resume.lastModified;
}

// Decides, before its first byte is kept, whether the answer continues the package, starts it
// again, or is refused.
bool JudgeAnswer(Resume* resume) {
    resume->judged = true;
    long status = 0;
    curl_easy_getinfo(resume->handle, CURLINFO_RESPONSE_CODE, &status);
    if (resume->ranged && status == 206) {
        const char* validator = AnswerValidator(*resume);
        // A server that ignores "If-Range" still gives the changed file's validator away.
        if (resume->rangeStart == int64_t(resume->offset) &&
            (!*validator || strcmp(validator, resume->partial->validator) == 0)) {
            resume->target->lengthChecked = false;
            return true;
        }
        resume->fromZero = true;
        return false;
    }
    // Nothing after the bytes kept: they are not this file's, or more than all of it.
    if (resume->ranged && status == 416)
        resume->fromZero = true;
    // An error page is not the rest of the package; the bytes kept wait for the next attempt.
    if (resume->ranged && status != 200)
        return false;
    if (resume->ranged && !PackageFileRestart(resume->target))
        return false;
    resume->offset = 0;
    PartialPackage* partial = resume->partial;
    StrCopy(partial->validator, sizeof partial->validator,
            status == 200 ? AnswerValidator(*resume) : "");
    // Only a later run needs it, so a failure here ends no transfer.
    PartialPackageWriteIdentity(*partial);
    return true;
}

size_t WriteResumed(void* piece, size_t itemSize, size_t itemCount, void* state) {
    Resume* resume = static_cast<Resume*>(state);
    if (!resume->judged && !JudgeAnswer(resume))
        return 0;
    return AppendToFile(piece, itemSize, itemCount, resume->target);
}

int ResumedProgress(void* state, double total, double now, double, double) {
    const Resume* resume = static_cast<const Resume*>(state);
    const double offset = double(resume->offset);
    return DownloadProgress(const_cast<std::atomic<bool>*>(resume->cancel),
                            total > 0 ? total + offset : 0, now + offset, 0, 0);
}

bool Retryable(CURLcode result, const PackageFile& target, const std::atomic<bool>& cancel) {
    return !cancel.load() && target.refusal == PackageFile::None &&
           result != CURLE_ABORTED_BY_CALLBACK && result != CURLE_URL_MALFORMAT &&
           result != CURLE_UNSUPPORTED_PROTOCOL && result != CURLE_OUT_OF_MEMORY;
}

// False when cancelled during the pause.
bool Pause(uint32_t milliseconds, const std::atomic<bool>& cancel) {
    for (uint32_t waited = 0; waited < milliseconds && !cancel.load();
         waited += kPauseStepMilliseconds)
        PlatformSleep(std::min(kPauseStepMilliseconds, milliseconds - waited));
    return !cancel.load();
}

// One attempt from the bytes kept: the rest when they can be continued, else the whole file.
CURLcode Attempt(Resume* resume) {
    PackageFile* target = resume->target;
    const uint64_t kept = target->hasher.bytes;
    resume->ranged = kept > 0 && resume->partial->validator[0] && !resume->fromZero;
    if (kept > 0 && !resume->ranged && !PackageFileRestart(target))
        return CURLE_WRITE_ERROR;
    resume->offset = resume->ranged ? kept : 0;
    resume->judged = resume->fromZero = false;
    char range[32];
    char ifRange[kValidatorSize + 16];
    curl_slist* headers = nullptr;
    if (resume->ranged) {
        StrFormat(range, sizeof range, "%llu-", static_cast<unsigned long long>(kept));
        StrFormat(ifRange, sizeof ifRange, "If-Range: %s", resume->partial->validator);
        headers = curl_slist_append(nullptr, ifRange);
        if (!headers)
            return CURLE_OUT_OF_MEMORY;
    }
    curl_easy_setopt(resume->handle, CURLOPT_RANGE, resume->ranged ? range : nullptr);
    curl_easy_setopt(resume->handle, CURLOPT_HTTPHEADER, headers);
    CURLcode result = curl_easy_perform(resume->handle);
    curl_easy_setopt(resume->handle, CURLOPT_HTTPHEADER, nullptr);
    curl_easy_setopt(resume->handle, CURLOPT_RANGE, nullptr);
    curl_slist_free_all(headers);
    // An answer without a body is judged all the same.
    if (result == CURLE_OK && !resume->judged && !JudgeAnswer(resume))
        result = CURLE_RANGE_ERROR;
    return result;
}

} // namespace

bool ReceiveResuming(CURL* handle, PackageFile* target, PartialPackage* partial,
                     const std::atomic<bool>* cancel, uint32_t firstPauseMilliseconds) {
    Resume resume{handle, target, cancel, 0, false, false, false, partial, {}, {}, -1};
    curl_easy_setopt(handle, CURLOPT_URL, partial->url);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, WriteResumed);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &resume);
    curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, ReadHeader);
    curl_easy_setopt(handle, CURLOPT_HEADERDATA, &resume);
    curl_easy_setopt(handle, CURLOPT_PROGRESSFUNCTION, ResumedProgress);
    curl_easy_setopt(handle, CURLOPT_PROGRESSDATA, &resume);
    CURLcode result;
    int idle = 0; // attempts in a row that brought nothing new
    for (;;) {
        const uint64_t kept = target->hasher.bytes;
        result = Attempt(&resume);
        if (result == CURLE_OK || !Retryable(result, *target, *cancel))
            break;
        idle = target->hasher.bytes > kept ? 0 : idle + 1;
        if (idle > kResumeRetries ||
            !Pause(firstPauseMilliseconds << std::min(std::max(idle - 1, 0), kMostDoublings),
                   *cancel))
            break;
    }
    curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, nullptr);
    curl_easy_setopt(handle, CURLOPT_HEADERDATA, nullptr);
    curl_easy_setopt(handle, CURLOPT_PROGRESSFUNCTION, DownloadProgress);
    curl_easy_setopt(handle, CURLOPT_PROGRESSDATA, cancel);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, nullptr);
    return result == CURLE_OK;
}
