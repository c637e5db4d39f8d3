// Filming a replay: every drawn frame, fitted to one picture size, goes to a video made by the
// ffmpeg program and/or to numbered PNG files.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class Film {
 public:
  Film() = default;
  Film(const Film&) = delete;
  Film& operator=(const Film&) = delete;
  ~Film();

  // Checks that the video and the frame folder can be written and starts ffmpeg, before any
  // frame is drawn; false with a message naming the file when they cannot.
  bool Open(const std::string& video, const std::string& framesDir, int width, int height,
            std::string& error);
  // Adds one drawn frame (RGBA rows bottom-up, as GL reads them) to the outputs still
  // written. When writing one of them fails, that output stops (the other goes on) and the
  // line saying so is returned, once.
  std::vector<std::string> Add(int width, int height,
                               const std::vector<std::uint8_t>& rgbaBottomUp);
  // Finishes the video and puts it in place; false when an output failed, with a message in
  // error unless Add gave it already (no video is left then).
  bool Close(std::string& error);

 private:
  bool CheckVideo(const std::string& video, std::vector<std::string>& options, std::string& ffmpeg,
                  std::string& error) const;
  bool OpenFramesDir(const std::string& framesDir, std::string& error);
  bool StartEncoder(const std::string& video, const std::vector<std::string>& options,
                    const std::string& ffmpeg, std::string& error);
  void Fit(int width, int height, const std::vector<std::uint8_t>& rgbaBottomUp);
  std::string AddToVideo();
  std::string AddToFrames();
  std::string EncoderFailure(const std::string& what);
  void Abandon();

  std::string video_, part_, framesDir_;
  int width_ = 0, height_ = 0;
  std::vector<std::uint8_t> picture_;  // top-down RGB rows at the film size
  long long frames_ = 0;
  std::FILE* pipe_ = nullptr;
  pid_t encoder_ = -1;
  int encoderStatus_ = 0;               // once the encoder has ended
  std::FILE* encoderErrors_ = nullptr;  // what the encoder says, read back for the message
  bool videoFailed_ = false, framesFailed_ = false;
};
