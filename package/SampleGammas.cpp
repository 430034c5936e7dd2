// Writes the sample gamma files of the release package into the folder named
// on the command line, computed by the program's own ramp engine. It runs on
// the build machine, so the names are UTF-8 here; ZipNames stores them in
// the zip as a Japanese Windows reads them.
//
//   SampleGammas FOLDER      exit code 0 when every file was written

#include "gamma/GammaRamp.h"

#include <cstdio>
#include <string>

namespace {

struct Sample {
  const char *fileName;
  double gamma;
  int darkLevel;
  int width;  // 0 x 0: for any resolution
  int height;
  int applyDelay;
};

// The guide and the sample quilcfg.txt describe exactly these files.
const Sample kSamples[] = {
    {"標準.qlr", 1.0, 0, 0, 0, 0},
    {"夕方用_暗め.qlr", 0.8, 0, 0, 0, 0},
    {"明るめ.qlr", 1.3, 0, 0, 0, 0},
    {"暗部補正_1024x768.qlr", 1.1, 12, 1024, 768, 1000},
};

int WriteSample(const std::string &folder, const Sample &sample) {
  GammaRamp ramp;
  ramp.SetCurve(sample.gamma, sample.darkLevel);
  ramp.SetTargetSize(sample.width, sample.height);
  ramp.SetApplyDelay(sample.applyDelay);
  std::string path = folder + "/" + sample.fileName;
  if (ramp.SaveToFile(path.c_str()))
    return 1;
  std::fprintf(stderr, "SampleGammas: cannot write %s\n", path.c_str());
  return 0;
}

} // namespace

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: SampleGammas FOLDER\n");
    return 2;
  }
  int ok = 1;
  for (const Sample &sample : kSamples)
    ok &= WriteSample(argv[1], sample);
  return ok ? 0 : 1;
}
