// citywalk-texture-bench FILE...: decodes each picture file with stb_image and with
// ImageMagick's reader, as citywalk-import would, and prints the time of one decoding by each
// (the median of runs taking turns) and how much faster the faster one is. The importer decodes
// PNG and JPEG with stb_image because of these figures (bench/texture_bench.sh).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "textures.h"

namespace {

// The median times of one decoding by each of two decoders in milliseconds, the two taking
// turns for about two seconds so that a busy moment of the machine falls on both alike.
template <typename DecodeA, typename DecodeB>
bool MedianMs(const DecodeA& a, const DecodeB& b, double& msA, double& msB) {
  std::vector<double> timesA, timesB;
  auto time = [](const auto& decode, std::vector<double>& times) {
    const auto t0 = std::chrono::steady_clock::now();
    const bool ok = decode();
    times.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    return ok;
  };
  const auto start = std::chrono::steady_clock::now();
  while (timesA.size() < 9 || (timesA.size() < 400 &&
                               std::chrono::steady_clock::now() - start < std::chrono::seconds(2)))
    if (!time(a, timesA) || !time(b, timesB)) return false;
  for (auto* times : {&timesA, &timesB})
    std::nth_element(times->begin(), times->begin() + times->size() / 2, times->end());
  msA = timesA[timesA.size() / 2];
  msB = timesB[timesB.size() / 2];
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: citywalk-texture-bench FILE...\n", stderr);
    return 2;
  }
  std::printf("%-28s %10s %10s %10s %8s\n", "picture", "pixels", "stb ms", "magick ms", "ratio");
  for (int i = 1; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    const char* format = PictureFormat(bytes, argv[i]);
    if (format == nullptr) {
      std::fprintf(stderr, "%s: not a picture\n", argv[i]);
      return 1;
    }
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba;
    std::string error;
    double stb = 0, magick = 0;
    if (!MedianMs([&] { return DecodeWithStb(bytes, width, height, rgba, error); },
                  [&] { return DecodeWithMagick(bytes, format, width, height, rgba, error); }, stb,
                  magick)) {
      std::fprintf(stderr, "%s: %s\n", argv[i], error.c_str());
      return 1;
    }
    std::string name = argv[i];
    if (name.size() > 28) name = name.substr(name.size() - 28);
    std::printf("%-28s %4dx%-5d %10.2f %10.2f %8.2f\n", name.c_str(), width, height, stb, magick,
                stb > 0 ? magick / stb : 0.0);
  }
  return 0;
}
