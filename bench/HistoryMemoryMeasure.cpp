// SPDX-License-Identifier: MIT
// Memory of the command history on a 3840x2160 32-bpp image: ten undo steps and a pending
// command, then a memory budget of four images, as the bitmaps count it (MemoryUsed) and as the
// process feels it (peak RSS).
// bench-libs: quorvi_image
#include "HistoryBenchSupport.h"

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>

namespace {

using historybench::CBenchDocument;

// Bytes of every bitmap the document holds: its image and each command's copy.
std::size_t BitmapBytes(const CBenchDocument& doc) {
    std::size_t bytes = doc.Image().MemoryUsed();
    auto add = [&bytes](const CCommand* command) {
        if (const auto* tavix = dynamic_cast<const CTavixCommand*>(command))
            bytes += tavix->Backup().MemoryUsed();
    };
    for (int slot = 0; slot < CCommandHistory::kRingSize; ++slot)
        add(doc.CommandAt(slot));
    add(doc.PendingCommand());
    return bytes;
}

std::size_t PeakRssBytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return std::size_t(usage.ru_maxrss) * 1024;
}

double MiB(std::size_t bytes) {
    return double(bytes) / (1024.0 * 1024.0);
}

} // namespace

int main() {
    const std::size_t rssAtStart = PeakRssBytes();
    CBenchDocument doc;
    const std::size_t imageBytes = BitmapBytes(doc);
    std::size_t bitmapPeak = imageBytes;
    auto report = [&](const char* phase) {
        bitmapPeak = std::max(bitmapPeak, BitmapBytes(doc));
        const HistoryCounters c = doc.Counters();
        std::printf("%-44s held %8.1f MiB (%5.2f images)  peak RSS %8.1f MiB  U=%d R=%d C=%d%s\n",
                    phase, MiB(BitmapBytes(doc)), double(BitmapBytes(doc)) / double(imageBytes),
                    MiB(PeakRssBytes() - rssAtStart), c.nUndoCount, c.nRedoCount, c.nChangeCount,
                    doc.PendingCommand() ? " pending" : "");
    };

    std::printf("image %dx%d at 32 bpp: %zu bytes (%.1f MiB)\n", historybench::kWidth,
                historybench::kHeight, imageBytes, MiB(imageBytes));
    report("image only");
    for (int i = 0; i < 10; ++i)
        doc.ExecuteAndRecord(doc.Operation(), true);
    report("ten operations recorded");
    doc.ExecuteAndRecord(doc.Operation(), true);
    report("eleventh operation (oldest dropped)");
    doc.ExecutePending(doc.Operation(), true);
    report("pending command applied");
    doc.RevertPending();
    doc.ExecutePending(doc.Operation(), true);
    report("reverted and applied again");
    doc.Undo();
    doc.Redo();
    report("undo and redo (pending recorded first)");
    doc.ExecutePending(doc.Operation(), true);
    doc.CommitPending(true);
    report("pending committed");
    // A budget of four image sizes: each new step drops the oldest ones first.
    doc.SetMemoryBudget(4 * imageBytes);
    doc.ExecuteAndRecord(doc.Operation(), true);
    report("budget of 4 images, one more operation");
    for (int i = 0; i < 3; ++i)
        doc.ExecuteAndRecord(doc.Operation(), true);
    report("three more operations");

    const std::size_t rssPeak = PeakRssBytes() - rssAtStart;
    std::printf("\npeak of bitmaps held between operations: %zu bytes (%.1f MiB, %.2f images)\n",
                bitmapPeak, MiB(bitmapPeak), double(bitmapPeak) / double(imageBytes));
    std::printf("peak RSS above start: %zu bytes (%.1f MiB, %.2f images)\n", rssPeak, MiB(rssPeak),
                double(rssPeak) / double(imageBytes));
    return 0;
}
