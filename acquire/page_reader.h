#pragma once
// Reads one page from a device, in steps short enough to keep a window
// alive: sane_start, then sane_read (only when the device's select
// descriptor says data waits, else non-blocking where the device allows it;
// a device with neither is read as it blocks) into whole lines that are converted once
// into the page's store, frame after frame (three-pass colour), until the
// last frame ends. A page of unknown height (a hand scanner) grows as lines
// come. Only this page is held in memory.

#include <chrono>
#include <cstdint>
#include <vector>

#include "acquire/native_image.h"
#include "acquire/sane_device.h"

namespace quillet::acquire {

class PageReader {
public:
    enum class Start { Started, NoDocuments, Cancelled };

    // The device must outlive the reader. xDpi and yDpi go into the image.
    PageReader(SaneDevice& device, double xDpi, double yDpi);
    // Cancels a page still being read.
    ~PageReader();
    PageReader(const PageReader&) = delete;
    PageReader& operator=(const PageReader&) = delete;

    // Starts the page. An empty feeder gives NoDocuments, a scan stopped at
    // the device Cancelled; any other failure throws ScannerError.
    Start start();
    // Reads for about `budget` (at least one read); true once the page is
    // complete. Throws ScannerError when the device fails part-way (the scan
    // is then cancelled). Precondition: start() gave Started.
    bool step(std::chrono::milliseconds budget);
    // Whether the last step found no data waiting (a non-blocking device
    // that is still moving): the caller may wait a little before the next.
    bool idle() const { return idle_; }
    // The part read so far, 0..1; -1 while the height is not known.
    double progress() const;
    // Stops the page part-way (sane_cancel); nothing is kept.
    void cancel();
    // The complete page. Precondition: step() returned true.
    NativeImage take();

private:
    void beginFrame();
    void prepareReads();
    void endFrame();
    void convertLines(const std::uint8_t* data, int count);
    void ensureRows(int rows);

    SaneDevice& device_;
    NativeImage image_;
    SANE_Parameters params_{};
    std::vector<std::uint8_t> buffer_;  // whole lines plus the start of the next
    std::size_t filled_ = 0;
    int row_ = 0;       // next row of the current frame
    int rows_ = 0;      // rows allocated in the page's store
    int channel_ = -1;  // 0, 1, 2 for a single-colour frame; -1 otherwise
    bool reading_ = false;
    bool complete_ = false;
    bool idle_ = false;
    int waitFd_ = -1;  // poll before reading; -1: read at once
    int frame_ = 0;     // frames of this page begun before the current one
    std::uint64_t bytesRead_ = 0;
    std::uint64_t bytesExpected_ = 0;
};

}  // namespace quillet::acquire
