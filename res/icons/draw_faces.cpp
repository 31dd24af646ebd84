// Draws Quellor's six mood faces and writes them as 16-colour .ico files.
//
//   g++ -std=c++17 -O2 -Wall -Wextra -o draw_faces draw_faces.cpp
//   ./draw_faces res/icons        -> res/icons/mood1.ico .. mood6.ico
//
// Each icon holds a 16x16 and a 32x32 image. The tray shows the 16x16 one,
// where a downscaled drawing turns to mush, so that size is hand-placed
// pixel art below; the 32x32 is drawn geometrically. The output must be
// byte-identical on every run: scripts/render-faces regenerates the
// committed icons, and any diff means they drifted from this source. So the
// geometry uses only + - * / on doubles, which IEEE rounding makes
// repeatable everywhere, and nothing from <cmath>.
#include <cstdint>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

// One character per pixel: '.' transparent, 'K' black, 'F' face colour,
// 'R' red (inside of an open mouth).
using Picture = std::vector<std::string>;

enum class Mouth { Grin, Smile, Straight, Frown };

// 16x16 faces. Outline and eyes are the same in all four; only the mouth
// differs, but whole tables keep each face easy to see and to retouch.
const Picture kSmall[] = {
    {".....KKKKKK.....", "...KKFFFFFFKK...", "..KFFFFFFFFFFK..", ".KFFFFFFFFFFFFK.",
     ".KFFKKFFFFKKFFK.", "KFFFKKFFFFKKFFFK", "KFFFKKFFFFKKFFFK", "KFFFFFFFFFFFFFFK",
     "KFFFFFFFFFFFFFFK", "KFFKKKKKKKKKKFFK", "KFFKRRRRRRRRKFFK", ".KFFKRRRRRRKFFK.",
     ".KFFFKKKKKKFFFK.", "..KFFFFFFFFFFK..", "...KKFFFFFFKK...", ".....KKKKKK....."},
    {".....KKKKKK.....", "...KKFFFFFFKK...", "..KFFFFFFFFFFK..", ".KFFFFFFFFFFFFK.",
     ".KFFKKFFFFKKFFK.", "KFFFKKFFFFKKFFFK", "KFFFKKFFFFKKFFFK", "KFFFFFFFFFFFFFFK",
     "KFFFFFFFFFFFFFFK", "KFFKFFFFFFFFKFFK", "KFFFKFFFFFFKFFFK", ".KFFFKKKKKKFFFK.",
     ".KFFFFFFFFFFFFK.", "..KFFFFFFFFFFK..", "...KKFFFFFFKK...", ".....KKKKKK....."},
    {".....KKKKKK.....", "...KKFFFFFFKK...", "..KFFFFFFFFFFK..", ".KFFFFFFFFFFFFK.",
     ".KFFKKFFFFKKFFK.", "KFFFKKFFFFKKFFFK", "KFFFKKFFFFKKFFFK", "KFFFFFFFFFFFFFFK",
     "KFFFFFFFFFFFFFFK", "KFFFFFFFFFFFFFFK", "KFFKKKKKKKKKKFFK", ".KFFFFFFFFFFFFK.",
     ".KFFFFFFFFFFFFK.", "..KFFFFFFFFFFK..", "...KKFFFFFFKK...", ".....KKKKKK....."},
    {".....KKKKKK.....", "...KKFFFFFFKK...", "..KFFFFFFFFFFK..", ".KFFFFFFFFFFFFK.",
     ".KFFKKFFFFKKFFK.", "KFFFKKFFFFKKFFFK", "KFFFKKFFFFKKFFFK", "KFFFFFFFFFFFFFFK",
     "KFFFFFFFFFFFFFFK", "KFFFFFFFFFFFFFFK", "KFFFFKKKKKKFFFFK", ".KFFFKFFFFKFFFK.",
     ".KFFKFFFFFFKFFK.", "..KFFFFFFFFFFK..", "...KKFFFFFFKK...", ".....KKKKKK....."},
};

double sq(double v) { return v * v; }

// Squared distance from (x, y) to the parabola y = base + bend * (1 - u^2),
// u = (x - 16) / half, |u| <= 1, by sampling: plenty for a 32-pixel icon.
double distToArc(double x, double y, double base, double bend, double half) {
    double best = 1e9;
    for (int i = -200; i <= 200; ++i) {
        double u = i / 200.0;
        double d = sq(x - (16 + u * half)) + sq(y - (base + bend * (1 - u * u)));
        if (d < best) best = d;
    }
    return best;
}

// The open grin: between a slightly bowed top lip and a deep lower curve.
bool inGrin(double x, double y) {
    double u = (x - 16) / 10;
    if (u <= -1 || u >= 1) return false;
    return y > 18.5 + 1.5 * (1 - u * u) && y < 18.5 + 9 * (1 - u * u);
}

char largePixel(Mouth mouth, int px, int py) {
    double x = px + 0.5, y = py + 0.5;  // pixel centre
    double r2 = sq(x - 16) + sq(y - 16);
    if (r2 > sq(15.9)) return '.';
    if (r2 > sq(14.2)) return 'K';
    for (double ex : {12.0, 20.0})
        if (sq((x - ex) / 2.2) + sq((y - 12) / 4.0) <= 1) return 'K';
    switch (mouth) {
    case Mouth::Grin:
        if (!inGrin(x, y)) return 'F';
        // A pixel next to the lip edge becomes the mouth's black outline.
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (!inGrin(x + dx, y + dy)) return 'K';
        return 'R';
    case Mouth::Smile:
        return distToArc(x, y, 19.5, 4.5, 7.5) <= sq(1.05) ? 'K' : 'F';
    case Mouth::Straight:
        return y > 20 && y < 22 && x > 9 && x < 23 ? 'K' : 'F';
    case Mouth::Frown:
        return distToArc(x, y, 25, -4.5, 7.5) <= sq(1.05) ? 'K' : 'F';
    }
    return 'F';
}

Picture largeFace(Mouth mouth) {
    Picture pic(32, std::string(32, '.'));
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) pic[y][x] = largePixel(mouth, x, y);
    return pic;
}

// The Windows 16-colour VGA palette, as RGB.
const uint32_t kPalette[16] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};
constexpr uint8_t Black = 0, Red = 9, Yellow = 11, Cyan = 14;

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(v & 0xFF);
    out.push_back((v >> 8) & 0xFF);
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// One icon image: BITMAPINFOHEADER, palette, 4-bpp colour rows, then the
// 1-bpp AND mask (1 = transparent). Both sets of rows run bottom-up and are
// padded to 4 bytes; the header's height counts both halves, hence 2 * n.
std::vector<uint8_t> encodeImage(const Picture& pic, uint8_t face) {
    const uint32_t n = pic.size();
    const uint32_t xorStride = (n / 2 + 3) / 4 * 4, andStride = (n / 8 + 3) / 4 * 4;
    std::vector<uint8_t> out;
    put32(out, 40);
    put32(out, n);
    put32(out, 2 * n);
    put16(out, 1);   // planes
    put16(out, 4);   // bits per pixel
    put32(out, 0);   // uncompressed
    put32(out, (xorStride + andStride) * n);
    for (int i = 0; i < 4; ++i) put32(out, 0);  // resolution, colours used/important
    for (uint32_t rgb : kPalette) put32(out, rgb);  // little-endian gives B, G, R, 0

    std::vector<uint8_t> colour(xorStride * n), mask(andStride * n);
    for (uint32_t row = 0; row < n; ++row) {
        const std::string& line = pic[n - 1 - row];
        for (uint32_t x = 0; x < n; ++x) {
            char c = line[x];
            uint8_t index = c == 'F' ? face : c == 'R' ? Red : Black;
            if (c == '.') mask[row * andStride + x / 8] |= 0x80 >> (x % 8);
            colour[row * xorStride + x / 2] |= x % 2 ? index : index << 4;
        }
    }
    out.insert(out.end(), colour.begin(), colour.end());
    out.insert(out.end(), mask.begin(), mask.end());
    return out;
}

bool writeIcon(const std::string& path, const std::vector<Picture>& pics, uint8_t face) {
    std::vector<std::vector<uint8_t>> images;
    for (const Picture& pic : pics) images.push_back(encodeImage(pic, face));
    std::vector<uint8_t> out;
    put16(out, 0);  // reserved
    put16(out, 1);  // icon, not cursor
    put16(out, images.size());
    uint32_t offset = 6 + 16 * images.size();
    for (size_t i = 0; i < images.size(); ++i) {
        out.push_back(pics[i].size());  // width
        out.push_back(pics[i].size());  // height
        out.push_back(16);              // colours
        out.push_back(0);
        put16(out, 1);  // planes
        put16(out, 4);  // bits per pixel
        put32(out, images[i].size());
        put32(out, offset);
        offset += images[i].size();
    }
    for (const auto& image : images) out.insert(out.end(), image.begin(), image.end());
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(out.data()), out.size());
    return bool(file);
}

struct Mood {
    uint8_t face;
    Mouth mouth;
};
// mood1..mood6 as the tray numbers them: yellow from grin to frown as it
// gets hotter, then red for the hottest band; mood6, cyan, is the coldest.
const Mood kMoods[6] = {
    {Yellow, Mouth::Grin}, {Yellow, Mouth::Smile}, {Yellow, Mouth::Straight},
    {Yellow, Mouth::Frown}, {Red, Mouth::Frown},   {Cyan, Mouth::Grin},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: draw_faces OUTPUT_DIR\n";
        return 2;
    }
    for (int i = 0; i < 6; ++i) {
        const Mood& mood = kMoods[i];
        const Picture& small = kSmall[static_cast<int>(mood.mouth)];
        std::string path = std::string(argv[1]) + "/mood" + std::to_string(i + 1) + ".ico";
        if (!writeIcon(path, {small, largeFace(mood.mouth)}, mood.face)) {
            std::cerr << "draw_faces: cannot write " << path << "\n";
            return 1;
        }
    }
    return 0;
}
