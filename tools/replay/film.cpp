// Filming a replay. The video is made by Debian's ffmpeg program, started as a separate
// process and fed raw RGB frames through a pipe, rather than by linking FFmpeg's libraries:
// their API is large and changes between versions, while the program's command line stays
// the same, and our build keeps no dependency on them. PNG frames are written by stb.
#include "film.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stb/stb_image_write.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "output_files.h"

extern char** environ;

namespace {

// The encoder options for a video file, by its extension; empty for one we do not know.
std::vector<std::string> EncoderOptions(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  // H.264 in the 4:2:0 layout that every player reads; the index at the front for streaming.
  if (ext == ".mp4")
    return {"-c:v",     "libx264", "-preset",   "medium",     "-crf", "20",
            "-pix_fmt", "yuv420p", "-movflags", "+faststart", "-f",   "mp4"};
  // VP9 at constant quality; row threads and speed 4 keep encoding time near H.264's.
  if (ext == ".webm")
    return {"-c:v",    "libvpx-vp9", "-crf",      "32",   "-b:v",      "0", "-pix_fmt", "yuv420p",
            "-row-mt", "1",          "-deadline", "good", "-cpu-used", "4", "-f",       "webm"};
  if (ext == ".webp")
    return {"-c:v", "libwebp_anim", "-lossless", "0", "-quality", "80", "-loop", "0", "-f", "webp"};
  // GIF has 256 colours: one palette made from the whole film, then applied with dithering.
  if (ext == ".gif")
    return {"-filter_complex",
            "[0:v]split[a][b];[a]palettegen=stats_mode=diff[p];[b][p]paletteuse=dither=bayer",
            "-loop",
            "0",
            "-f",
            "gif"};
  return {};
}

// The full path of a program found on PATH, or empty.
std::string FindProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "";
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string dir = dirs.substr(start, end - start);
    if (!dir.empty()) {
      std::string candidate = dir + "/" + name;
      if (access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    start = end + 1;
  }
  return "";
}

}  // namespace

Film::~Film() {
  Abandon();
  if (encoderErrors_) std::fclose(encoderErrors_);
}

bool Film::Open(const std::string& video, const std::string& framesDir, int width, int height,
                std::string& error) {
  width_ = width;
  height_ = height;
  picture_.assign(static_cast<size_t>(width) * height * 3, 0);
  std::vector<std::string> options;
  std::string ffmpeg;
  if (!video.empty() && !CheckVideo(video, options, ffmpeg, error)) return false;
  if (!framesDir.empty() && !OpenFramesDir(framesDir, error)) return false;
  return video.empty() || StartEncoder(video, options, ffmpeg, error);
}

// Whether the video can be made: its encoder options by type, the size, ffmpeg found.
bool Film::CheckVideo(const std::string& video, std::vector<std::string>& options,
                      std::string& ffmpeg, std::string& error) const {
  options = EncoderOptions(video);
  if (options.empty()) {
    error = video + ": unknown video type; use .mp4, .webm, .webp or .gif";
    return false;
  }
  if (options.back() == "mp4" && (width_ % 2 || height_ % 2)) {
    error = video + ": H.264 needs an even width and height; give --screen an even size";
    return false;
  }
  ffmpeg = FindProgram("ffmpeg");
  if (ffmpeg.empty()) {
    error = video +
            ": the ffmpeg program is not installed (scripts/deps.sh test, or "
            "apt-get install ffmpeg)";
    return false;
  }
  return true;
}

// Makes the frames' folder if missing; false when frames cannot be written there.
bool Film::OpenFramesDir(const std::string& framesDir, std::string& error) {
  std::error_code ec;
  std::filesystem::create_directories(framesDir, ec);
  if (!std::filesystem::is_directory(framesDir, ec) ||
      access(framesDir.c_str(), W_OK | X_OK) != 0) {
    error = framesDir + ": cannot write frames there";
    return false;
  }
  framesDir_ = framesDir;
  return true;
}

// Starts ffmpeg writing the video's temporary file, fed raw frames through a pipe; the
// temporary file replaces the video only when it is done.
bool Film::StartEncoder(const std::string& video, const std::vector<std::string>& options,
                        const std::string& ffmpeg, std::string& error) {
  video_ = video;
  part_ = video + ".part";
  const int probe = ::open(part_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (probe < 0) {
    error = video + ": cannot write (" + std::strerror(errno) + ")";
    part_.clear();
    return false;
  }
  ::close(probe);

  const std::string size = std::to_string(width_) + "x" + std::to_string(height_);
  std::vector<std::string> args = {"ffmpeg", "-hide_banner", "-loglevel", "error", "-nostdin", "-y",
                                   "-f",     "rawvideo",     "-pix_fmt",  "rgb24", "-s",       size,
                                   "-r",     "25",           "-i",        "-"};
  args.insert(args.end(), options.begin(), options.end());
  args.push_back(part_);
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);

  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) {
    error = video + ": cannot start ffmpeg (" + std::strerror(errno) + ")";
    Abandon();
    return false;
  }
  // What ffmpeg says goes to a file of ours, to be given in one line when it fails.
  encoderErrors_ = std::tmpfile();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[0], 0);
  if (encoderErrors_) posix_spawn_file_actions_adddup2(&actions, fileno(encoderErrors_), 2);
  const int spawned =
      posix_spawn(&encoder_, ffmpeg.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(fds[0]);
  if (spawned != 0) {
    ::close(fds[1]);
    encoder_ = -1;
    error = video + ": cannot start " + ffmpeg + " (" + std::strerror(spawned) + ")";
    Abandon();
    return false;
  }
  // An encoder that quits early must give a write error here, not end this process.
  signal(SIGPIPE, SIG_IGN);
  pipe_ = fdopen(fds[1], "wb");
  return true;
}

// Puts a frame into the film picture: the same size is copied, any other (a resized or
// maximised window) is scaled by whole source pixels to fit, centred on black.
void Film::Fit(int width, int height, const std::vector<std::uint8_t>& rgba) {
  int fitW = width_, fitH = height_;
  if (static_cast<long long>(width_) * height <= static_cast<long long>(height_) * width)
    fitH = std::max(1, static_cast<int>(static_cast<long long>(height) * width_ / width));
  else
    fitW = std::max(1, static_cast<int>(static_cast<long long>(width) * height_ / height));
  const int left = (width_ - fitW) / 2, top = (height_ - fitH) / 2;
  std::fill(picture_.begin(), picture_.end(), 0);
  for (int y = 0; y < fitH; ++y) {
    const long long sourceRow = height - 1 - static_cast<long long>(y) * height / fitH;
    std::uint8_t* out = &picture_[(static_cast<size_t>(top + y) * width_ + left) * 3];
    for (int x = 0; x < fitW; ++x) {
      const long long sourceX = static_cast<long long>(x) * width / fitW;
      const std::uint8_t* in = &rgba[static_cast<size_t>(sourceRow * width + sourceX) * 4];
      *out++ = in[0];
      *out++ = in[1];
      *out++ = in[2];
    }
  }
}

std::vector<std::string> Film::Add(int width, int height,
                                   const std::vector<std::uint8_t>& rgbaBottomUp) {
  std::vector<std::string> said;
  if (width < 1 || height < 1) return said;
  Fit(width, height, rgbaBottomUp);
  ++frames_;
  if (pipe_ && !videoFailed_)
    if (std::string failure = AddToVideo(); !failure.empty()) said.push_back(failure);
  if (!framesDir_.empty() && !framesFailed_)
    if (std::string failure = AddToFrames(); !failure.empty()) said.push_back(failure);
  return said;
}

// Feeds the frame to the encoder; the failure, when it no longer takes frames.
std::string Film::AddToVideo() {
  if (std::fwrite(picture_.data(), 1, picture_.size(), pipe_) == picture_.size()) return "";
  videoFailed_ = true;
  return EncoderFailure("stopped at frame " + std::to_string(frames_));
}

// Writes the frame as the next numbered PNG, whole or not at all; the failure, if any.
std::string Film::AddToFrames() {
  char name[32];
  std::snprintf(name, sizeof name, "frame-%05lld.png", frames_);
  const std::string path = framesDir_ + "/" + name, part = path + ".part";
  std::string png;
  const auto append = [](void* to, void* data, int size) {
    static_cast<std::string*>(to)->append(static_cast<const char*>(data),
                                          static_cast<std::size_t>(size));
  };
  errno = 0;
  if (stbi_write_png_to_func(append, &png, width_, height_, 3, picture_.data(), width_ * 3) &&
      WriteFileBytes(part, png) && std::rename(part.c_str(), path.c_str()) == 0)
    return "";
  const std::string reason = errno ? std::strerror(errno) : "the picture could not be encoded";
  std::remove(part.c_str());
  framesFailed_ = true;
  return path + ": cannot write (" + reason + "); the frames stop after frame " +
         std::to_string(frames_ - 1);
}

// Ends the encoder that stopped (what) and removes its unfinished file; the line saying so,
// with the encoder's own last word on why.
std::string Film::EncoderFailure(const std::string& what) {
  Abandon();
  std::string reason;
  if (encoderErrors_) {
    std::rewind(encoderErrors_);
    char line[512];
    while (std::fgets(line, sizeof line, encoderErrors_))
      if (line[0] != '\n') reason = line;
    while (!reason.empty() && std::isspace(static_cast<unsigned char>(reason.back())))
      reason.pop_back();
  }
  if (reason.empty() && WIFEXITED(encoderStatus_))
    reason = "it exited with " + std::to_string(WEXITSTATUS(encoderStatus_));
  if (reason.empty()) reason = "it was ended by a signal";
  return video_ + ": ffmpeg " + what + " (" + reason + "); no video written";
}

bool Film::Close(std::string& error) {
  error.clear();
  if (!pipe_) return !videoFailed_ && !framesFailed_;  // a failure was said when it came
  const bool flushed = std::fclose(pipe_) == 0;
  pipe_ = nullptr;
  while (waitpid(encoder_, &encoderStatus_, 0) < 0 && errno == EINTR) {
  }
  encoder_ = -1;
  // ffmpeg speaks only of errors here; it says some (a full disk at the trailer) and still
  // exits with 0.
  struct stat said {};
  const bool quiet =
      !encoderErrors_ || (fstat(fileno(encoderErrors_), &said) == 0 && said.st_size == 0);
  const bool encoded =
      flushed && WIFEXITED(encoderStatus_) && WEXITSTATUS(encoderStatus_) == 0 && quiet;
  if (frames_ == 0)
    error = video_ + ": no frame was drawn; no video";
  else if (!encoded)
    error = EncoderFailure("failed");
  else if (std::rename(part_.c_str(), video_.c_str()) != 0)
    error = video_ + ": cannot write (" + std::strerror(errno) + ")";
  if (!error.empty()) {
    Abandon();
    return false;
  }
  part_.clear();
  return !framesFailed_;
}

// Stops the encoder, if running, and removes its unfinished file.
void Film::Abandon() {
  if (pipe_) {
    std::fclose(pipe_);
    pipe_ = nullptr;
  }
  if (encoder_ > 0) {
    while (waitpid(encoder_, &encoderStatus_, 0) < 0 && errno == EINTR) {
    }
    encoder_ = -1;
  }
  if (!part_.empty()) std::remove(part_.c_str());
  part_.clear();
}
