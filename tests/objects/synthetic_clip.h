#pragma once

// Synthetic frames for the tracking tests: textured discs and bright markers on a weakly
// textured background, drawn at sub-pixel positions with noise, optional blur and brightness
// changes. Every object is drawn from a continuous function, so its true centre is known.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

namespace synth {

// A textured disc, a bright blurred marker, or a plain round marker (a flat disc, sharp edged).
enum class Kind { kTexture, kMarker, kDisc };

struct Body {
  Kind kind;
  double radius;
  unsigned seed;
};

// A smooth random texture: a few sinusoids of wavelengths 5..14 px.
struct Texture {
  explicit Texture(unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> angle(0, 2 * M_PI), wave(5, 14), amp(15, 35);
    for (auto& w : waves) {
      const double a = angle(rng), l = wave(rng);
      w = {2 * M_PI / l * std::cos(a), 2 * M_PI / l * std::sin(a), angle(rng), amp(rng)};
    }
  }
  double At(double u, double v) const {
    double s = 0;
    for (const auto& w : waves) s += w[3] * std::sin(w[0] * u + w[1] * v + w[2]);
    return s;
  }
  std::array<std::array<double, 4>, 6> waves;
};

// How a body is turned (radians, counter-clockwise on screen) and scaled about its centre.
struct Pose {
  double angle = 0;
  double scale = 1;
};

// A plain vertical bar in front of everything, full height, centred on x.
struct Pole {
  double x = 0;
  double width = 6;
  double level = 40;  // its grey level
};

struct Scene {
  int width = 320, height = 240;
  double noise = 2.0;                // standard deviation, grey levels
  double gainPerFrame = 0;           // brightness ramp over time: gain 1 + frame * gainPerFrame
  double spatialRamp = 0;            // grey levels added per pixel to the right
  double backgroundAmplitude = 0.2;  // of the background's texture
  bool blur = true;                  // 2 x 2 supersampling plus a box of the pixel
  double level = 1;                  // every drawn value is multiplied by it (a darker scene)
  std::vector<Body> bodies;
  std::function<Pose(std::size_t body, int frame)> pose;  // none: upright, natural size
  std::function<double(int frame)> poleAt;                // none: no pole; else its centre
  // Paints over the drawn bodies (centres at) before the pole and the noise; none: nothing.
  std::function<void(std::vector<double>& v, int frame,
                     const std::vector<std::pair<double, double>>& at)>
      overlay;
  Pole pole;
  Texture background{99};

  // Grey frame with the bodies' centres at the given positions.
  std::vector<std::uint8_t> Render(int frame, const std::vector<std::pair<double, double>>& at,
                                   unsigned noiseSeed) const {
    if (base_.empty()) {
      base_.resize(static_cast<std::size_t>(width) * height);
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
          base_[y * width + x] = 100 + backgroundAmplitude * background.At(x * 0.5, y * 0.5);
      for (const Body& b : bodies) textures_.emplace_back(b.seed);
    }
    std::vector<double> v = base_;
    for (std::size_t i = 0; i < bodies.size(); ++i) {
      const Pose p = pose ? pose(i, frame) : Pose{};
      const double c = std::cos(p.angle) / p.scale, s = std::sin(p.angle) / p.scale;
      const double R = bodies[i].radius * p.scale,
                   reach = bodies[i].kind == Kind::kMarker ? 2 * R : R + 3;
      const Kind kind = bodies[i].kind;
      const int x0 = std::max(0, int(at[i].first - reach)),
                x1 = std::min(width - 1, int(at[i].first + reach) + 1);
      const int y0 = std::max(0, int(at[i].second - reach)),
                y1 = std::min(height - 1, int(at[i].second + reach) + 1);
      const int ss = blur ? 3 : 1;
      for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
          double sum = 0;
          for (int sy = 0; sy < ss; ++sy)
            for (int sx = 0; sx < ss; ++sx) {
              const double dx = x + (blur ? (sx - 1) / 3.0 : 0) - at[i].first;
              const double dy = y + (blur ? (sy - 1) / 3.0 : 0) - at[i].second;
              const double r2 = dx * dx + dy * dy;
              const double under = v[y * width + x];
              if (kind == Kind::kMarker) {
                sum += under + 120 * std::exp(-r2 / (2 * R * R / 4));
              } else if (kind == Kind::kDisc) {
                // Covered by the part of its (sub)pixel inside the edge.
                sum += under + 100 * std::clamp(R + 0.5 - std::sqrt(r2), 0.0, 1.0);
              } else {
                const double w = 1 / (1 + std::exp((std::sqrt(r2) - R) * 2));
                // The texture turns and scales with the body: sampled at the point that maps here.
                const double u = c * dx + s * dy, t = -s * dx + c * dy;
                sum += under * (1 - w) + w * (130 + textures_[i].At(u, t));
              }
            }
          v[y * width + x] = sum / (ss * ss);
        }
    }
    if (overlay) overlay(v, frame, at);
    if (poleAt) DrawPole(v, poleAt(frame));
    std::vector<std::uint8_t> img(v.size());
    std::mt19937 rng(noiseSeed);
    std::normal_distribution<double> n(0, noise);
    const double gain = 1 + frame * gainPerFrame;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const double value = v[y * width + x] * level * gain + spatialRamp * x + n(rng);
        img[static_cast<std::size_t>(y) * width + x] =
            static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
      }
    return img;
  }

 private:
  // Each column is covered by the part of its pixel's width that the pole takes.
  void DrawPole(std::vector<double>& v, double centre) const {
    const double a = centre - pole.width / 2, b = centre + pole.width / 2;
    for (int x = std::max(0, int(a) - 1); x <= std::min(width - 1, int(b) + 1); ++x) {
      const double cover = std::clamp(std::min(b, x + 0.5) - std::max(a, x - 0.5), 0.0, 1.0);
      for (int y = 0; y < height; ++y)
        v[y * width + x] = v[y * width + x] * (1 - cover) + cover * pole.level;
    }
  }

  mutable std::vector<double> base_;
  mutable std::vector<Texture> textures_;
};

// A smooth path with sub-pixel steps: drift plus a slow wave.
inline std::pair<double, double> PathAt(int frame, double x0, double y0, double vx, double vy) {
  return {x0 + vx * frame + 6 * std::sin(frame * 0.031),
          y0 + vy * frame + 4 * std::cos(frame * 0.023)};
}

// Writes count grey frames of the scene's size, frameOf(f) for f = 1..count, as a lossless FFV1
// video at 25 frames per second (through a raw file beside it); false when ffmpeg failed.
template <class FrameOf>
bool WriteLosslessVideo(const std::filesystem::path& video, const Scene& scene, int count,
                        FrameOf frameOf) {
  const std::filesystem::path raw = video.string() + ".raw";
  {
    std::ofstream out(raw, std::ios::binary);
    for (int f = 1; f <= count; ++f) {
      const std::vector<std::uint8_t> frame = frameOf(f);
      out.write(reinterpret_cast<const char*>(frame.data()), frame.size());
    }
  }
  const std::string make = "ffmpeg -loglevel error -y -f rawvideo -pix_fmt gray -s " +
                           std::to_string(scene.width) + "x" + std::to_string(scene.height) +
                           " -r 25 -i '" + raw.string() + "' -c:v ffv1 '" + video.string() +
                           "' 2>/dev/null";
  const bool made = std::system(make.c_str()) == 0 && std::filesystem::exists(video);
  std::filesystem::remove(raw);
  return made;
}

// Passes grey frames of width x height (even) through H.264 and back: libx264 with a key frame
// every keyInterval frames and its other choices left as they are. Empty when ffmpeg failed.
inline std::vector<std::vector<std::uint8_t>> ThroughH264(
    const std::vector<std::vector<std::uint8_t>>& frames, int width, int height, int keyInterval) {
  static int made = 0;
  const std::filesystem::path base = std::filesystem::temp_directory_path() /
                                     ("zorvat_h264_" + std::to_string(::getpid()) + "_" +
                                      std::to_string(++made));
  const std::string raw = base.string() + ".raw", video = base.string() + ".mp4",
                    back = base.string() + ".back.raw";
  {
    std::ofstream out(raw, std::ios::binary);
    for (const auto& f : frames) out.write(reinterpret_cast<const char*>(f.data()), f.size());
  }
  const std::string size = std::to_string(width) + "x" + std::to_string(height);
  const std::string key = std::to_string(keyInterval);
  const std::string encode =
      "ffmpeg -loglevel error -y -f rawvideo -pix_fmt gray -s " + size + " -r 25 -i '" + raw +
      "' -c:v libx264 -preset veryfast -x264-params keyint=" + key + ":min-keyint=" + key +
      ":scenecut=0 -pix_fmt yuv420p '" + video + "' 2>/dev/null";
  const std::string decode = "ffmpeg -loglevel error -y -i '" + video +
                             "' -f rawvideo -pix_fmt gray '" + back + "' 2>/dev/null";
  std::vector<std::vector<std::uint8_t>> out;
  if (std::system(encode.c_str()) == 0 && std::system(decode.c_str()) == 0) {
    std::ifstream in(back, std::ios::binary);
    std::vector<std::uint8_t> f(static_cast<std::size_t>(width) * height);
    while (in.read(reinterpret_cast<char*>(f.data()), f.size())) out.push_back(f);
    if (out.size() != frames.size()) out.clear();
  }
  for (const auto& p : {raw, video, back}) std::filesystem::remove(p);
  return out;
}

}  // namespace synth
