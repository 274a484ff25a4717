// Build tool: turns a text pixel map (see shell/resources/*_icon.txt) into a
// 32 x 32, 16-colour .ico file. Runs on the build machine.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

static void Put16(std::vector<uint8_t>& out, unsigned v)
{
    out.push_back(v & 0xFF);
    out.push_back((v >> 8) & 0xFF);
}

static void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

static int Fail(const char* what, const char* detail)
{
    fprintf(stderr, "mkico: %s: %s\n", what, detail);
    return 1;
}

int main(int argc, char** argv)
{
    if (argc != 3)
        return Fail("usage", "mkico PIXELMAP.txt OUT.ico");
    FILE* in = fopen(argv[1], "r");
    if (!in)
        return Fail("cannot open", argv[1]);

    const int size = 32;
    std::vector<char> letters;          // palette index -> pixel letter
    std::vector<uint32_t> colors;       // palette index -> 0xRRGGBB
    std::vector<std::string> rows;
    bool inPixels = false;
    char line[256];
    while (fgets(line, sizeof line, in)) {
        line[strcspn(line, "\r\n")] = '\0';
        if (line[0] == '#' || line[0] == '\0')
            continue;
        if (!inPixels) {
            char letter;
            char rgb[16];
            if (strcmp(line, "pixels") == 0) {
                inPixels = true;
            } else if (sscanf(line, "color %c %15s", &letter, rgb) == 2) {
                letters.push_back(letter);
                colors.push_back((uint32_t)strtoul(rgb, nullptr, 16));
            } else {
                return Fail("bad line", line);
            }
        } else {
            rows.push_back(line);
        }
    }
    fclose(in);
    if (rows.size() != (size_t)size)
        return Fail("need 32 pixel rows in", argv[1]);
    if (colors.size() > 16)
        return Fail("more than 16 colours in", argv[1]);

    std::vector<uint8_t> image;
    // BITMAPINFOHEADER: height counts the XOR and AND bitmaps together.
    Put32(image, 40);
    Put32(image, size);
    Put32(image, size * 2);
    Put16(image, 1);
    Put16(image, 4);
    Put32(image, 0);
    Put32(image, 0);
    Put32(image, 0);
    Put32(image, 0);
    Put32(image, 16);
    Put32(image, 0);
    for (int k = 0; k < 16; k++) {
        uint32_t c = k < (int)colors.size() ? colors[k] : 0;
        image.push_back(c & 0xFF);
        image.push_back((c >> 8) & 0xFF);
        image.push_back((c >> 16) & 0xFF);
        image.push_back(0);
    }
    std::vector<uint8_t> mask;
    for (int y = size - 1; y >= 0; y--) { // bitmaps run bottom-up
        const std::string& row = rows[y];
        if (row.size() != (size_t)size)
            return Fail("row is not 32 pixels wide", row.c_str());
        uint8_t nibbles[32];
        uint32_t maskBits = 0;
        for (int x = 0; x < size; x++) {
            int index = 0;
            if (row[x] == '.') {
                maskBits |= 0x80000000u >> x;
            } else {
                size_t k = 0;
                while (k < letters.size() && letters[k] != row[x])
                    k++;
                if (k == letters.size())
                    return Fail("pixel letter without a colour in", row.c_str());
                index = (int)k;
            }
            nibbles[x] = (uint8_t)index;
        }
        for (int x = 0; x < size; x += 2)
            image.push_back((uint8_t)((nibbles[x] << 4) | nibbles[x + 1]));
        mask.push_back((maskBits >> 24) & 0xFF);
        mask.push_back((maskBits >> 16) & 0xFF);
        mask.push_back((maskBits >> 8) & 0xFF);
        mask.push_back(maskBits & 0xFF);
    }
    image.insert(image.end(), mask.begin(), mask.end());

    std::vector<uint8_t> file;
    Put16(file, 0); // ICONDIR
    Put16(file, 1);
    Put16(file, 1);
    file.push_back(size); // ICONDIRENTRY
    file.push_back(size);
    file.push_back(16);
    file.push_back(0);
    Put16(file, 1);
    Put16(file, 4);
    Put32(file, (uint32_t)image.size());
    Put32(file, 6 + 16);
    file.insert(file.end(), image.begin(), image.end());

    FILE* out = fopen(argv[2], "wb");
    if (!out || fwrite(file.data(), 1, file.size(), out) != file.size() || fclose(out) != 0)
        return Fail("cannot write", argv[2]);
    return 0;
}
