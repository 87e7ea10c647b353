#pragma once
// The file rules of a scan, shared by the Acquire command and quillet-batch:
// the target name from the base file name and the counter, and the checked
// save through a name of the scan's own.

#include <functional>
#include <string>

namespace quillet::acquire {

// The counter's range; a scan at the maximum is the last of a run.
inline constexpr int kCounterMax = 300;

// The pad before the counter: "00" below 10, "0" from 10 to 99, "" from 100.
std::string counterPad(int counter);
// base + pad + counter + ".bmp": "page001.bmp", "page010.bmp", "page300.bmp".
std::string scanFileName(const std::string& base, int counter);

// Saves a page as `target` (a path in `directory`): `write(path)` writes the
// page (throwing imaging::BitmapError on failure) to a fresh name of its own in the directory (created exclusively, so no file
// of the user's is touched), which is then renamed onto the target. A file
// already under the target's name is replaced only by that rename, so a
// failure keeps it. Every step is checked; a failure removes the scan's own
// file and throws ScannerError naming the target and the fault.
void saveScan(const std::function<void(const std::string& path)>& write, const std::string& directory,
              const std::string& target);

}  // namespace quillet::acquire
