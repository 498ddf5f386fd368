// Starts a download whose name lookup never answers, and leaves main while it hangs; the test
// that runs it times how long the process takes to end from there.
//
//   download_exit_probe URL TARGET

#include "download/downloader.h"
#include "hanging_lookup.h"

#include <cstdio>

int main(int argc, char** argv) {
    using namespace sorvo::download;
    if (argc != 3) return 2;
    // Never released: the lookup hangs until the process ends.
    auto* lookups = new testing::HangingLookups;
    {
        Downloader downloader;
        DownloadSettings settings;
        settings.url = argv[1];
        settings.path = argv[2];
        settings.allowUnsigned = true;
        startDownload(downloader, settings);
        if (!lookups->waitForLookup()) return 1;
        std::fputs("leaving main\n", stdout);
        std::fflush(stdout);
    }
    return 0;
}
