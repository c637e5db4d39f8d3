// Files the program writes a whole line at a time while it runs: the recording and the trace
// (and citywalk-replay's trace). What reaches the disk always ends on a whole line, so a file
// cut short replays as far as it goes:
//   - lines are gathered in a buffer and written out together, at least once a second;
//   - when a write fails (a full disk, an I/O error, the file gone), a line written only in
//     part is taken back, one line on standard error names the file, the reason and the last
//     frame the file holds, and the file is closed: the program runs on without it;
//   - every open line file can be written out at once (FlushAllLineFiles), for an end that
//     leaves no time for the usual clean-up (the display gone).
// Plain C++ with the C library's descriptors; no window or GL.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct LineFile {
  std::string program{};  // names the messages: "citywalk", "citywalk-replay"
  std::string what{};     // the file's part in them: "the recording", "the trace"
  std::string path{};     // as the user named it; "-" is standard output
  int fd = -1;            // open while >= 0
  bool failed = false;    // a write failed (and the file was closed)
  bool cuttable = false;  // a regular file: a line written in part can be taken back
  long long kept = 0;     // bytes on the disk, all whole lines
  std::string buffer{};   // whole lines not yet written
  std::chrono::steady_clock::time_point oldest{};  // when the first of them was added
  long long frames = 0;                            // frames ended so far
  long long framesKept = 0;                        // ... of which the disk holds every line
  std::vector<std::pair<std::size_t, long long>> frameEnds{};  // in the buffer: (end, frame)
};

// Opens path for writing ("-": standard output), emptying it; false with the reason in *why.
bool OpenLineFile(LineFile& file, const std::string& path, std::string* why);
// Whether the file is open (not yet closed, and no write has failed).
bool LineFileOpen(const LineFile& file);
// Adds one line (without its newline); written out when the buffer is a second old or large.
void AddLine(LineFile& file, std::string_view line);
// The lines added so far end a frame (the message on a failed write names the last one kept).
void EndFrame(LineFile& file);
// The program is about to wait (milliseconds::max(): for ever): the buffer is written out
// first if it would otherwise wait past its second.
void FlushBeforeWait(LineFile& file, std::chrono::milliseconds wait);
// Writes out the buffer now; false when the file is not open or the write failed.
bool FlushLineFile(LineFile& file);
// Writes out the buffer and closes the file (standard output stays open).
void CloseLineFile(LineFile& file);
// Writes out and closes every open line file.
void FlushAllLineFiles();
