// Renders what Import.so reads from plot files into PNG images, for a person to compare with the
// drawings: every path as thin lines, curves flattened, one colour per pen unless the path gives its
// own, y upwards.
//
//     render_plots OUTPUT_FOLDER FILE...
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Item {
    float x, y;
    uint8_t flags;
};
struct Path {
    int32_t pen;
    std::vector<Item> items;
};
struct Drawing {
    float extent[4];
    std::vector<Path> paths;
};

template <typename T> T at(const unsigned char* p)
{
    T value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

Drawing decode(const unsigned char* b)
{
    Drawing d{};
    auto total = static_cast<size_t>(at<int32_t>(b + 1));
    for (int i = 0; i < 4; ++i)
        d.extent[i] = at<float>(b + 41 + 4 * i);
    size_t p = 61;
    while (p < total && b[p] == '+') {
        Path path{at<int32_t>(b + p + 27), {}};
        auto count = at<int32_t>(b + p + 5);
        for (int i = 0; i < count; ++i) {
            const unsigned char* item = b + p + 31 + 9 * static_cast<size_t>(i);
            path.items.push_back({at<float>(item), at<float>(item + 4), item[8]});
        }
        d.paths.push_back(std::move(path));
        p += static_cast<size_t>(at<int32_t>(b + p + 1));
    }
    return d;
}

class Image {
public:
    Image(int width, int height) : width_(width), height_(height), rgb_(3 * size_t(width) * height, 255) {}

    void line(double x0, double y0, double x1, double y1, std::array<uint8_t, 3> colour)
    {
        int steps = static_cast<int>(std::max(std::fabs(x1 - x0), std::fabs(y1 - y0))) + 1;
        for (int i = 0; i <= steps; ++i) {
            double t = static_cast<double>(i) / steps;
            set(static_cast<int>(std::lround(x0 + t * (x1 - x0))),
                static_cast<int>(std::lround(y0 + t * (y1 - y0))), colour);
        }
    }

    // A PNG of stored (uncompressed) deflate blocks: plain, and no library needed.
    bool writePng(const std::string& path) const
    {
        std::vector<uint8_t> raw;
        for (int y = 0; y < height_; ++y) {
            raw.push_back(0);
            raw.insert(raw.end(), rgb_.begin() + 3 * size_t(width_) * y,
                       rgb_.begin() + 3 * size_t(width_) * (y + 1));
        }
        std::vector<uint8_t> z = {0x78, 0x01};
        for (size_t i = 0; i < raw.size(); i += 65535) {
            size_t n = std::min<size_t>(65535, raw.size() - i);
            z.push_back(i + n == raw.size() ? 1 : 0);
            z.push_back(n & 0xFF);
            z.push_back(n >> 8);
            z.push_back(~n & 0xFF);
            z.push_back((~n >> 8) & 0xFF);
            z.insert(z.end(), raw.begin() + i, raw.begin() + i + n);
        }
        uint32_t a = 1, b = 0;
        for (uint8_t c : raw) {
            a = (a + c) % 65521;
            b = (b + a) % 65521;
        }
        putBig(z, (b << 16) | a);

        std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        std::vector<uint8_t> header;
        putBig(header, static_cast<uint32_t>(width_));
        putBig(header, static_cast<uint32_t>(height_));
        header.insert(header.end(), {8, 2, 0, 0, 0});
        chunk(png, "IHDR", header);
        chunk(png, "IDAT", z);
        chunk(png, "IEND", {});
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
        return static_cast<bool>(out);
    }

private:
    void set(int x, int y, std::array<uint8_t, 3> colour)
    {
        if (x < 0 || y < 0 || x >= width_ || y >= height_)
            return;
        std::memcpy(&rgb_[3 * (size_t(y) * width_ + x)], colour.data(), 3);
    }
    static void putBig(std::vector<uint8_t>& out, uint32_t v)
    {
        for (int s = 24; s >= 0; s -= 8)
            out.push_back(static_cast<uint8_t>(v >> s));
    }
    static void chunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data)
    {
        putBig(png, static_cast<uint32_t>(data.size()));
        std::vector<uint8_t> body(type, type + 4);
        body.insert(body.end(), data.begin(), data.end());
        uint32_t crc = 0xFFFFFFFF;
        for (uint8_t c : body) {
            crc ^= c;
            for (int k = 0; k < 8; ++k)
                crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
        }
        png.insert(png.end(), body.begin(), body.end());
        putBig(png, ~crc);
    }

    int width_, height_;
    std::vector<uint8_t> rgb_;
};

std::array<uint8_t, 3> penColour(int32_t pen)
{
    static const std::array<uint8_t, 3> colours[] = {{128, 128, 128}, {0, 0, 0},     {200, 0, 0},
                                                     {0, 140, 0},     {0, 0, 220},   {200, 0, 200},
                                                     {0, 160, 160},   {180, 120, 0}, {90, 60, 160}};
    return colours[pen >= 0 ? pen % 9 : 0];
}

void render(const Drawing& d, Image& image, int size, int margin)
{
    double w = std::max(d.extent[2] - d.extent[0], 1e-3f), h = std::max(d.extent[3] - d.extent[1], 1e-3f);
    double scale = (size - 2 * margin) / std::max(w, h);
    auto px = [&](float x) { return margin + (x - d.extent[0]) * scale; };
    auto py = [&](float y) { return size - margin - (y - d.extent[1]) * scale; };
    for (const Path& path : d.paths) {
        auto colour = penColour(path.pen);
        Item last{};
        for (size_t i = 0; i + 1 < path.items.size(); ++i) {
            const Item& it = path.items[i];
            if (it.flags == 0x81) { // a colour item: red, green and blue in the bytes of x
                std::memcpy(colour.data(), &it.x, 3);
                continue;
            }
            if ((it.flags & 0x80) || !(it.flags & 0x01))
                continue; // other special items; control points, handled at their curve's end
            bool curveEnd = i >= 2 && !(path.items[i - 1].flags & 0x01);
            if ((it.flags & 0x70) == 0x10) {
                last = it;
                continue;
            }
            if (curveEnd) {
                const Item &c1 = path.items[i - 2], &c2 = path.items[i - 1];
                double x0 = last.x, y0 = last.y;
                for (int s = 1; s <= 24; ++s) {
                    double t = s / 24.0, u = 1 - t;
                    double x =
                        u * u * u * last.x + 3 * u * u * t * c1.x + 3 * u * t * t * c2.x + t * t * t * it.x;
                    double y =
                        u * u * u * last.y + 3 * u * u * t * c1.y + 3 * u * t * t * c2.y + t * t * t * it.y;
                    image.line(px(float(x0)), py(float(y0)), px(float(x)), py(float(y)), colour);
                    x0 = x;
                    y0 = y;
                }
            } else {
                image.line(px(last.x), py(last.y), px(it.x), py(it.y), colour);
            }
            last = it;
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER FILE...\n", argv[0]);
        return 2;
    }
    void* module = dlopen(IMPORT_MODULE, RTLD_NOW | RTLD_LOCAL);
    auto read = module
                    ? reinterpret_cast<void* (*)(const char*, float, uint32_t)>(dlsym(module, "NFilterRead"))
                    : nullptr;
    if (read == nullptr) {
        std::fprintf(stderr, "cannot load %s\n", IMPORT_MODULE);
        return 1;
    }
    std::filesystem::create_directories(argv[1]);
    int failures = 0;
    for (int i = 2; i < argc; ++i) {
        std::filesystem::path file = argv[i];
        void* block = read(file.c_str(), 0.025f, 0);
        if (block == nullptr) {
            std::fprintf(stderr, "%s: the filter gave no drawing\n", file.c_str());
            ++failures;
            continue;
        }
        Drawing d = decode(static_cast<const unsigned char*>(block));
        std::free(block);
        constexpr int kSize = 1200, kMargin = 20;
        Image image(kSize, kSize);
        render(d, image, kSize, kMargin);
        std::string out = (std::filesystem::path(argv[1]) / (file.filename().string() + ".png")).string();
        if (!image.writePng(out))
            ++failures;
        std::printf("%s: %zu paths, %.1f x %.1f mm -> %s\n", file.filename().c_str(), d.paths.size(),
                    d.extent[2] - d.extent[0], d.extent[3] - d.extent[1], out.c_str());
    }
    dlclose(module);
    return failures == 0 ? 0 : 1;
}
