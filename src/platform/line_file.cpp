// Whole-line files: buffered lines, written out with every failure seen and a cut line taken
// back.
#include "platform/line_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#define ftruncate _chsize
#else
#include <unistd.h>
#endif

#ifndef O_BINARY
#define O_BINARY 0
#endif
#ifndef O_CLOEXEC
#define O_CLOEXEC 0
#endif

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kFlushEvery = std::chrono::milliseconds(1000);
constexpr std::size_t kBufferLimit = 1 << 16;

std::vector<LineFile*> openFiles;  // every line file open, for FlushAllLineFiles

// Writes size bytes at once, going on after a short write; the bytes written, with errno set
// when they are fewer.
std::size_t WriteAll(int fd, const char* data, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const auto n =
        ::write(fd, data + done,
                static_cast<unsigned>(std::min<std::size_t>(size - done, std::size_t{1} << 30)));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  return done;
}

// Closes the descriptor (not standard output) and forgets the file.
void Close(LineFile& file) {
  if (file.fd < 0) return;
  if (file.fd != 1) ::close(file.fd);
  file.fd = -1;
  file.buffer.clear();
  file.frameEnds.clear();
  std::erase(openFiles, &file);
}

// Whether the file has lost its last name (removed while written): what is written then is
// lost when it is closed.
bool Removed(const LineFile& file) {
  struct stat info {};
  return file.cuttable && fstat(file.fd, &info) == 0 && info.st_nlink == 0;
}

// The write of the buffer stopped after written bytes for reason: the disk keeps the whole
// lines among them, the rest is taken back, and the user is told once.
void Fail(LineFile& file, std::size_t written, const std::string& reason) {
  const std::size_t lastNewline = std::string_view(file.buffer.data(), written).rfind('\n');
  const std::size_t whole = lastNewline == std::string_view::npos ? 0 : lastNewline + 1;
  file.kept += static_cast<long long>(whole);
  for (const auto& [end, frame] : file.frameEnds)
    if (end <= whole) file.framesKept = frame;
  if (file.cuttable && written > whole) {
    [[maybe_unused]] const int cut = ftruncate(file.fd, static_cast<long>(file.kept));
  }
  const std::string kept = file.framesKept > 0
                               ? "stops after frame " + std::to_string(file.framesKept)
                               : "holds no whole frame";
  std::fprintf(stderr, "%s: %s: cannot write (%s); %s %s\n", file.program.c_str(),
               file.path.c_str(), reason.c_str(), file.what.c_str(), kept.c_str());
  std::fflush(stderr);
  Close(file);
  file.failed = true;
}

}  // namespace

bool OpenLineFile(LineFile& file, const std::string& path, std::string* why) {
  CloseLineFile(file);
  const int fd =
      path == "-" ? 1
                  : ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_BINARY | O_CLOEXEC, 0644);
  if (fd < 0) {
    if (why) *why = std::strerror(errno);
    return false;
  }
  struct stat info {};
  file.path = path;
  file.fd = fd;
  file.cuttable = fd != 1 && fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  file.failed = false;
  file.kept = 0;
  file.frames = file.framesKept = 0;
  file.buffer.clear();
  file.frameEnds.clear();
  openFiles.push_back(&file);
  return true;
}

bool LineFileOpen(const LineFile& file) { return file.fd >= 0; }

void AddLine(LineFile& file, std::string_view line) {
  if (file.fd < 0) return;
  const auto now = Clock::now();
  if (file.buffer.empty()) file.oldest = now;
  file.buffer += line;
  file.buffer += '\n';
  if (now - file.oldest >= kFlushEvery || file.buffer.size() >= kBufferLimit) FlushLineFile(file);
}

void EndFrame(LineFile& file) {
  if (file.fd < 0) return;
  ++file.frames;
  file.frameEnds.emplace_back(file.buffer.size(), file.frames);
}

void FlushBeforeWait(LineFile& file, std::chrono::milliseconds wait) {
  if (file.fd < 0 || file.buffer.empty()) return;
  if (wait == std::chrono::milliseconds::max() || Clock::now() - file.oldest + wait >= kFlushEvery)
    FlushLineFile(file);
}

bool FlushLineFile(LineFile& file) {
  if (file.fd < 0) return false;
  if (file.buffer.empty()) return true;
  if (Removed(file)) {
    Fail(file, 0, "the file was removed");
    return false;
  }
  errno = 0;
  const std::size_t written = WriteAll(file.fd, file.buffer.data(), file.buffer.size());
  if (written < file.buffer.size()) {
    Fail(file, written, std::strerror(errno));
    return false;
  }
  file.kept += static_cast<long long>(written);
  if (!file.frameEnds.empty()) file.framesKept = file.frameEnds.back().second;
  file.buffer.clear();
  file.frameEnds.clear();
  return true;
}

void CloseLineFile(LineFile& file) {
  if (file.fd < 0) return;
  FlushLineFile(file);
  Close(file);
}

void FlushAllLineFiles() {
  while (!openFiles.empty()) CloseLineFile(*openFiles.back());
}
