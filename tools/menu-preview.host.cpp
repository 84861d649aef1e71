// Composes the menu's looks from a picture and a label strip, the way the menu
// window does, and writes them as .bmp files to look at:
//   menu-preview PICTURE(.bmp|.jpg) STRIP.bmp BUTTON_ALIGN BUTTON_COLOR OUT_PREFIX
// writes OUT_PREFIX-normal.bmp, -hot.bmp, -dim.bmp and -menu.bmp (the menu when
// not installed: Uninstall dimmed, Install highlighted).
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "menu/MenuPicture.h"
#include "system/Dib.h"
#include "system/Jpeg.h"

namespace {

class StdInputFile : public InputFile {
public:
    explicit StdInputFile(std::FILE* file) : file_(file) {}
    ~StdInputFile() override { std::fclose(file_); }
    bool Read(void* buffer, uint32_t size, uint32_t& got) override {
        got = static_cast<uint32_t>(std::fread(buffer, 1, size, file_));
        return !std::ferror(file_);
    }
    int64_t Size() override { return -1; }

private:
    std::FILE* file_;
};

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool LoadPicture(const std::string& path, Bitmap& picture) {
    if (EndsWith(path, ".jpg") || EndsWith(path, ".jpeg")) {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        if (file == nullptr) {
            return false;
        }
        StdInputFile input(file);
        return DecodeJpeg(input, picture);
    }
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return DecodeBmpFile(bytes, picture);
}

bool Save(const Bitmap& picture, const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    out << EncodeBmpFile(picture);
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: %s PICTURE STRIP.bmp BUTTON_ALIGN BUTTON_COLOR OUT_PREFIX\n",
                     argv[0]);
        return 2;
    }
    Bitmap picture;
    Bitmap strip;
    if (!LoadPicture(argv[1], picture) || !LoadPicture(argv[2], strip)) {
        std::fprintf(stderr, "cannot read %s or %s\n", argv[1], argv[2]);
        return 1;
    }
    TSetupSettings settings;
    settings.ButtonAlign = static_cast<int32_t>(std::strtol(argv[3], nullptr, 0));
    settings.ButtonColor = static_cast<uint32_t>(std::strtoul(argv[4], nullptr, 0));
    LayoutButtonSlots(picture.Width(), picture.Height(), settings.ButtonAlign,
                      settings.ButtonRects);
    MenuPictures looks;
    Bitmap menu;
    if (!ComposeMenuPictures(picture, strip, settings, looks) || !menu.CopyFrom(looks.PicNormal)) {
        std::fprintf(stderr, "out of memory\n");
        return 1;
    }
    CopySlotRect(looks.PicDim, menu, settings.ButtonRects[kSlotUninstall]);
    CopySlotRect(looks.PicHot, menu, settings.ButtonRects[kSlotInstall]);
    const std::string prefix = argv[5];
    const bool saved = Save(looks.PicNormal, prefix + "-normal.bmp") &&
                       Save(looks.PicHot, prefix + "-hot.bmp") &&
                       Save(looks.PicDim, prefix + "-dim.bmp") && Save(menu, prefix + "-menu.bmp");
    return saved ? 0 : 1;
}
