// game_frame_bench — frame rate of the whole sky demo at 1024x768, measured from outside: the
// demo runs unchanged with the sky_probe preloaded, which times N frames of the demo and then N
// frames of a bare clear-and-swap loop in the same window, so the figure is a ratio within one
// run. Also reported: time from start to the first presented frame, and peak memory.
// Usage: game_frame_bench [--frames N]   (--benchmark_min_time=... runs a short smoke pass)
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace {

double Now() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) + ts.tv_nsec * 1e-9;
}

}  // namespace

int main(int argc, char** argv) {
  long frames = 300;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--benchmark_min_time", 20) == 0) frames = 20;
    if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc) frames = std::atol(argv[++i]);
  }
  if (!std::getenv("DISPLAY")) {
    std::fprintf(stderr, "game_frame_bench: needs an X display (run it under xvfb-run)\n");
    return 1;
  }
  char logPath[] = "/tmp/game_frame_bench.XXXXXX";
  const int fd = mkstemp(logPath);
  if (fd < 0) {
    std::perror("game_frame_bench: mkstemp");
    return 1;
  }
  close(fd);

  const double start = Now();
  const pid_t child = fork();
  if (child == 0) {
    setenv("LD_PRELOAD", SKY_PROBE_PATH, 1);
    setenv("SKY_PROBE_LOG", logPath, 1);
    setenv("SKY_PROBE_FRAMES", std::to_string(frames).c_str(), 1);
    // In the sanitizer build the probe is loaded ahead of the sanitizer runtime; harmless here.
    std::string asan = std::getenv("ASAN_OPTIONS") ? std::getenv("ASAN_OPTIONS") : "";
    setenv("ASAN_OPTIONS", (asan + ":verify_asan_link_order=0").c_str(), 1);
    execl(SKY_GAME_PATH, SKY_GAME_PATH, static_cast<char*>(nullptr));
    std::perror("game_frame_bench: exec");
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);

  std::map<std::string, double> figures;
  std::ifstream log(logPath);
  for (std::string line; std::getline(log, line);) {
    std::istringstream words(line);
    std::string tag, key;
    double value;
    words >> tag;
    if (tag != "bench") continue;
    while (words >> key >> value) figures[key] = value;
  }
  std::remove(logPath);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || figures.count("bare_seconds") == 0) {
    std::fprintf(stderr, "game_frame_bench: the demo did not finish its %ld frames (status %d)\n",
                 frames, status);
    return 1;
  }

  const double demoFps = figures["demo_frames"] / figures["demo_seconds"];
  const double bareFps = figures["bare_frames"] / figures["bare_seconds"];
  std::printf("sky demo, 1024x768, %ld frames each\n", frames);
  std::printf("  demo frames per second         %8.1f\n", demoFps);
  std::printf("  bare clear-and-swap per second %8.1f\n", bareFps);
  std::printf("  demo / bare                    %8.3f\n", demoFps / bareFps);
  std::printf("  start to first frame (ms)      %8.1f\n",
              (figures["first_swap_monotonic"] - start) * 1000.0);
  std::printf("  peak resident memory (MiB)     %8.1f\n", usage.ru_maxrss / 1024.0);
  return 0;
}
