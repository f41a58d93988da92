// Demo clock times and offline-rendered frames for the late scenes' suites.
#include "support/late_scene_frames.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include <sys/wait.h>

namespace fs = std::filesystem;

float demoClockTime(long frame, int fps)
{
    return static_cast<float>(std::floor(static_cast<double>(frame) / fps * 70.0 + 1e-9) / 70.0);
}

PixelColour pixelAt(const FramePicture& picture, int x, int y)
{
    const size_t i = (static_cast<size_t>(y) * picture.width + x) * 3;
    return PixelColour{picture.rgb[i], picture.rgb[i + 1], picture.rgb[i + 2]};
}

PixelColour meanColour(const FramePicture& picture, int x0, int y0, int x1, int y1)
{
    long sum[3] = {0, 0, 0};
    long count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const PixelColour p = pixelAt(picture, x, y);
            sum[0] += p.r;
            sum[1] += p.g;
            sum[2] += p.b;
            ++count;
        }
    if (count == 0) return {};
    return PixelColour{int(sum[0] / count), int(sum[1] / count), int(sum[2] / count)};
}

double luminanceSpread(const FramePicture& picture, int x0, int y0, int x1, int y1)
{
    double sum = 0, square = 0;
    long n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const PixelColour p = pixelAt(picture, x, y);
            const double l = (p.r + p.g + p.b) / 3.0;
            sum += l;
            square += l * l;
            ++n;
        }
    if (n == 0) return 0.0;
    const double mean = sum / n;
    return std::sqrt(std::max(0.0, square / n - mean * mean));
}

double brightShare(const FramePicture& picture, int x0, int y0, int x1, int y1, int threshold)
{
    long bright = 0, count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const PixelColour p = pixelAt(picture, x, y);
            if (std::max({p.r, p.g, p.b}) > threshold) ++bright;
            ++count;
        }
    return count ? double(bright) / count : 0.0;
}

double meanDifference(const FramePicture& a, const FramePicture& b)
{
    if (a.rgb.size() != b.rgb.size() || a.rgb.empty()) return 255.0;
    double sum = 0;
    for (size_t i = 0; i < a.rgb.size(); ++i) sum += std::abs(int(a.rgb[i]) - int(b.rgb[i]));
    return sum / a.rgb.size();
}

bool readFramePicture(const std::string& path, FramePicture& picture)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGB;
    picture.width = int(image.width);
    picture.height = int(image.height);
    picture.rgb.assign(PNG_IMAGE_SIZE(image), 0);
    if (!png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    // Names are frame-NNNNNN-TTTT.TTTTTT.png.
    const std::string name = fs::path(path).stem().string();
    const size_t dash = name.rfind('-');
    picture.time = dash == std::string::npos ? 0.0f : std::strtof(name.c_str() + dash + 1, nullptr);
    return true;
}

std::string testPackDir()
{
    const char* pack = std::getenv("DEMOTORVA_TEST_PACK");
    return pack ? pack : DEMOTORVA_PACK_DIR;
}

std::string packWithout(const std::string& dir, const std::vector<std::string>& left)
{
    std::error_code e;
    fs::remove_all(dir, e);
    fs::create_directories(dir, e);
    const fs::path source = fs::absolute(testPackDir(), e);
    for (auto it = fs::recursive_directory_iterator(source, e); !e && it != fs::recursive_directory_iterator();
         it.increment(e)) {
        if (it->is_directory()) continue;
        const fs::path inside = fs::relative(it->path(), source, e);
        if (std::find(left.begin(), left.end(), inside.generic_string()) != left.end()) continue;
        fs::create_directories((fs::path(dir) / inside).parent_path(), e);
        if (!e) fs::create_symlink(it->path(), fs::path(dir) / inside, e);
        if (e) return "";
    }
    return e ? "" : dir;
}

double changedShare(const FramePicture& a, const FramePicture& b, int x0, int y0, int x1, int y1, int threshold)
{
    if (a.rgb.size() != b.rgb.size() || a.rgb.empty()) return 0.0;
    long changed = 0, count = 0;
    for (int y = std::max(y0, 0); y < std::min(y1, a.height); ++y)
        for (int x = std::max(x0, 0); x < std::min(x1, a.width); ++x) {
            const PixelColour p = pixelAt(a, x, y), q = pixelAt(b, x, y);
            if (std::abs((p.r + p.g + p.b) - (q.r + q.g + q.b)) > 3 * threshold) ++changed;
            ++count;
        }
    return count ? double(changed) / count : 0.0;
}

bool renderDemoFrames(const std::string& dir, double from, double to, int fps,
                      const std::vector<float>& wanted, DemoFrames& out, const std::string& pack)
{
    std::error_code e;
    fs::remove_all(dir, e);
    fs::create_directories(dir, e);
    char command[4096];
    std::snprintf(command, sizeof command,
                  "\"%s\" --data \"%s\" --frames \"%s\" --from %.4f --to %.4f --fps %d > \"%s/log.txt\" 2>&1",
                  DEMOTORVA_EXECUTABLE, pack.empty() ? testPackDir().c_str() : pack.c_str(), dir.c_str(), from,
                  to, fps, dir.c_str());
    const int status = std::system(command);
    out = DemoFrames{};
    out.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::vector<std::string> paths;
    for (const auto& entry : fs::directory_iterator(dir, e))
        if (entry.path().extension() == ".png") paths.push_back(entry.path().string());
    std::sort(paths.begin(), paths.end());
    for (const std::string& path : paths) {
        const std::string name = fs::path(path).stem().string();
        const float time = std::strtof(name.c_str() + name.rfind('-') + 1, nullptr);
        out.times.push_back(time);
        const bool keep = std::any_of(wanted.begin(), wanted.end(),
                                      [&](float w) { return std::fabs(w - time) < 0.5f / fps; });
        FramePicture picture;
        if (keep && readFramePicture(path, picture)) out.frames.push_back(std::move(picture));
        if (!keep) fs::remove(path, e);
    }
    return out.exitCode == 0 && out.frames.size() == wanted.size();
}

const FramePicture& frameNear(const DemoFrames& run, float t)
{
    static const FramePicture none;
    if (run.frames.empty()) return none;
    size_t best = 0;
    for (size_t i = 1; i < run.frames.size(); ++i)
        if (std::fabs(run.frames[i].time - t) < std::fabs(run.frames[best].time - t)) best = i;
    return run.frames[best];
}
